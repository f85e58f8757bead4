#include "console/tabletext.h"

#include <string>
#include <tuple>

namespace orvane {

const char* keptTranslation(const char* context, const char* text) {
    if (text == nullptr || *text == '\0')
        return text;
    std::string translated = translate(context, text);
    if (translated == text)
        return text;
    static std::mutex mutex;
    // std::map never moves its nodes: the strings' buffers stay where they are.
    static std::map<std::tuple<Language, std::string, std::string>, std::string> kept;
    std::lock_guard lock(mutex);
    auto key = std::tuple(currentLanguage(), std::string(context), std::string(text));
    auto it = kept.try_emplace(std::move(key), std::move(translated)).first;
    return it->second.c_str();
}

} // namespace orvane
