#include "support/stepkeyorder.h"

namespace orvane::test {

static void add(std::vector<std::string>& out, std::initializer_list<const char*> keys) {
    for (const char* k : keys)
        out.emplace_back(k);
}

static void addFixtures(std::vector<std::string>& out) {
    for (int c = 0; c <= 6; ++c)
        out.push_back("scandata" + std::to_string(c));
    add(out, {"scanx", "scany", "scanraw"});
    for (int s = 2; s <= 3; ++s) {
        for (int c : {0, 1, 2, 3, 6})
            out.push_back("scandata" + std::to_string(s) + std::to_string(c));
        for (const char* k : {"x", "y", "raw"})
            out.push_back("scan" + std::to_string(s) + k);
    }
    for (int h = 1; h <= 5; ++h) {
        for (int c = 0; c < (h == 1 ? 16 : 14); ++c)
            out.push_back("movinghead" + std::to_string(h) + std::to_string(c));
        for (const char* k : {"x", "y", "raw"})
            out.push_back("movinghead" + std::to_string(h) + k);
    }
}

std::vector<std::string> firstSaveOrder() {
    std::vector<std::string> out = {"master"};
    const char* lamp[] = {"C", "S", "I", "M", "V"};
    auto entry = [&](int i, const char* suffix) {
        out.push_back("F" + std::to_string(i) + suffix);
    };
    for (int i = 0; i < 14; ++i)
        for (const char* k : lamp)
            entry(i, k);
    for (int i = 14; i <= 23; ++i)
        entry(i, "F");
    for (int i = 24; i <= 27; ++i)
        entry(i, "G");
    for (int i = 28; i <= 30; ++i)
        entry(i, "X");
    entry(31, "Y");
    entry(32, "Y");
    for (const char* k : lamp)
        entry(33, k);
    add(out, {"F34P", "F34PF", "F35P", "F35PF", "F36Y", "F37Y", "F38s", "F38i", "F39s", "F39i",
              "F40F", "F41Y"});
    for (int f = 1; f <= 28; ++f)
        out.push_back(std::to_string(f));
    for (int c = 1; c <= 13; ++c)
        for (const char* k : {"color_r", "color_g", "color_b"})
            out.push_back(k + std::to_string(c));
    for (int c = 5; c <= 8; ++c)
        out.push_back("check" + std::to_string(c));
    addFixtures(out);
    add(out,
        {"resetmaster", "setmaster", "masteront",        "masterofft", "fadet",       "name",
         "ple",         "extra",     "soundnameatbegin", "keycode",    "keymodifier", "autofade",
         "goto",        "gotostep",  "playatbegin",      "nextonstop", "togglepause", "faderude",
         "sound1",      "sound2",    "soundlocked",      "stepsound"});
    return out;
}

std::string emptyStepValue(const std::string& key) {
    if (key == "masteront" || key == "masterofft" || key == "fadet")
        return "0.000000";
    if (key == "name" || key == "ple" || key == "extra" || key == "soundnameatbegin")
        return "";
    if (key == "soundlocked")
        return "1";
    return "0";
}

} // namespace orvane::test
