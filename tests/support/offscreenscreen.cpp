#include "support/offscreenscreen.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace orvane::test {

void useOffscreenScreen(int width, int height) {
    namespace fs = std::filesystem;
    static const std::string path =
        (fs::temp_directory_path() / ("orvane-screen-" + std::to_string(getpid()) + ".json"))
            .string();
    std::ofstream(path) << "{ \"windowFrameMargins\": false, \"screens\": [ { \"name\": \"test\", "
                           "\"x\": 0, \"y\": 0, \"width\": "
                        << width << ", \"height\": " << height
                        << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n";
    std::atexit([] { std::remove(path.c_str()); });
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
}

} // namespace orvane::test
