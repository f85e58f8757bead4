#include "support/tempdir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace orvane::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
    char* made = ::mkdtemp(tmpl.data());
    m_path = made ? made : tmpl;
}

namespace {

// Where a failed test's folder goes: build/test-artefacts/<suite>.<test>/; empty
// when the running test has not failed.
std::filesystem::path keptFolder(const std::string& path) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test || !testing::Test::HasFailure())
        return {};
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    return std::filesystem::path(ORVANE_TEST_ARTEFACTS) / name /
           std::filesystem::path(path).filename();
}

} // namespace

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::path kept = keptFolder(m_path);
    if (!kept.empty()) {
        std::filesystem::remove_all(kept, ec);
        std::filesystem::create_directories(kept.parent_path(), ec);
        std::filesystem::copy(m_path, kept, std::filesystem::copy_options::recursive, ec);
        if (!ec)
            std::fprintf(stderr, "test files kept in %s\n", kept.c_str());
    }
    std::filesystem::remove_all(m_path, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, std::string_view contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), std::streamsize(contents.size()));
}

} // namespace orvane::test
