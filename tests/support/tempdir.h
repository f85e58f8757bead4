#pragma once
// A temporary folder for one test, removed with everything in it afterwards,
// unless the test failed: then it is moved, with the program's output and files
// it holds, to build/test-artefacts/<suite>.<test>/, where make test says.

#include <string>
#include <string_view>

namespace orvane::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }

private:
    std::string m_path;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view contents);

} // namespace orvane::test
