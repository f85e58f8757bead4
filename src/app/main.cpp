#include "app/commandline.h"
#include "app/orvaneapp.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    orvane::CommandOptions options =
        orvane::parseCommandOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (std::optional<int> status = orvane::runWithoutWindow(options))
        return *status;
    // Every other word goes on to the start-up as before.
    std::vector<char*> words = {argv[0]};
    for (std::string& w : options.words)
        words.push_back(w.data());
    words.push_back(nullptr);
    return orvane::COrvaneApp::run(int(words.size()) - 1, words.data());
}
