#include "app/commandline.h"
#include "app/languagesetting.h"
#include "app/orvaneapp.h"
#include "core/boundedcall.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A decoder abandoned on a damaged file may still be running: the process then
// ends without the teardown that could meet it (static destructors and the
// libraries' exit handlers).
int finish(int status) {
    if (orvane::abandonedCalls() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    orvane::applyLanguageSetting();
    orvane::CommandOptions options =
        orvane::parseCommandOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (std::optional<int> status = orvane::runWithoutWindow(options))
        return finish(*status);
    // Every other word goes on to the start-up as before.
    std::vector<char*> words = {argv[0]};
    for (std::string& w : options.words)
        words.push_back(w.data());
    words.push_back(nullptr);
    return finish(orvane::COrvaneApp::run(int(words.size()) - 1, words.data()));
}
