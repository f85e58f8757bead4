#pragma once
// Prompts answered by a script: each question takes the next scripted answer,
// or the default answer when the script has run out. Every prompt is recorded.

#include "show/prompts.h"

#include <deque>
#include <string>
#include <vector>

namespace orvane::test {

class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        std::string title;
        std::string text;
    };
    std::vector<Shown> shown;
    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> texts;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<uint32_t>> colours;

    void message(std::string_view title, std::string_view text, PromptIcon) override {
        shown.push_back({std::string(title), std::string(text)});
    }
    bool askYesNo(std::string_view title, std::string_view text) override {
        shown.push_back({std::string(title), std::string(text)});
        return take(yesNo, false);
    }
    std::optional<std::string> askText(std::string_view title, std::string_view label,
                                       std::string_view) override {
        shown.push_back({std::string(title), std::string(label)});
        return take(texts, std::optional<std::string>());
    }
    std::optional<std::string> askOpenFile(std::string_view title, std::string_view,
                                           std::string_view filter) override {
        shown.push_back({std::string(title), std::string(filter)});
        return take(files, std::optional<std::string>());
    }
    std::optional<std::string> askSaveFile(std::string_view title, std::string_view,
                                           std::string_view filter) override {
        shown.push_back({std::string(title), std::string(filter)});
        return take(files, std::optional<std::string>());
    }
    std::optional<uint32_t> askColour(uint32_t) override {
        shown.push_back({"Color", ""});
        return take(colours, std::optional<uint32_t>());
    }

private:
    template <typename T> static T take(std::deque<T>& q, T def) {
        if (q.empty())
            return def;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

} // namespace orvane::test
