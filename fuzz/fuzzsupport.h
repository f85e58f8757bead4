#pragma once
// What the fuzz targets share: a scratch folder on a memory file system (the
// readers under test take paths) and a check that stops the run with a report.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace orvane::fuzz {

// A folder of this process for the files a target writes; /dev/shm when it
// exists, so that writing and syncing cost no disk.
inline const std::string& scratch() {
    static const std::string folder = [] {
        std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string path = base + "/orvane-fuzz-" + std::to_string(::getpid());
        std::string cmd = "mkdir -p '" + path + "'";
        if (std::system(cmd.c_str()) != 0)
            std::abort();
        return path;
    }();
    return folder;
}

inline void writeScratch(const std::string& path, std::string_view data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

// A property that must hold: when it does not, say which and stop, so that
// libFuzzer keeps the input as a crash.
inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

} // namespace orvane::fuzz
