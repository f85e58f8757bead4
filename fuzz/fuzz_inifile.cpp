// The profile reader (effect files, the user profile): parsing never fails,
// and what it writes back reads the same.

#include "fuzzsupport.h"
#include "show/inifile.h"

#include <cstdint>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::parse(text);
    std::string written = doc.serialize();
    IniDocument again = IniDocument::parse(written);
    fuzz::require(again.sectionNames() == doc.sectionNames(), "sections are kept");
    for (const std::string& section : doc.sectionNames()) {
        for (const std::string& key : doc.keyNames(section))
            fuzz::require(again.get(section, key) == doc.get(section, key),
                          "every key reads the same value back");
        fuzz::require(again.keyNames(section) == doc.keyNames(section), "keys are kept");
    }
    fuzz::require(again.serialize() == written, "writing is stable");
    return 0;
}
