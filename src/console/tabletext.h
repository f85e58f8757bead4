#pragma once
// Control tables in the operator's language. A table's texts are English
// literals marked where the table is written with QT_TRANSLATE_NOOP(context,
// text), so that they stay constant data; the copies made here translate them
// with the same context when a model or a window first asks for the table
// after the language was chosen. Every copy and every translated text lives
// for the rest of the program, so the pointers handed out stay valid. Any
// thread except the output thread.

#include "show/language.h"

#include <QtGlobal> // QT_TRANSLATE_NOOP, for the tables

#include <map>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

namespace orvane {

// `text` in the operator's language, as a pointer that stays valid: `text`
// itself when it is empty or has no translation.
const char* keptTranslation(const char* context, const char* text);

// `rows` with the text member `text` of each row in the operator's language;
// in English `rows` itself. One copy per table and language, made on first use.
template <class Row>
std::span<const Row> inLanguage(const char* context, std::span<const Row> rows,
                                const char* Row::*text) {
    if (currentLanguage() == Language::English)
        return rows;
    static std::mutex mutex;
    static std::map<std::pair<const Row*, Language>, std::vector<Row>> copies;
    std::lock_guard lock(mutex);
    auto key = std::pair(rows.data(), currentLanguage());
    auto it = copies.find(key);
    if (it == copies.end()) {
        std::vector<Row> copy(rows.begin(), rows.end());
        for (Row& row : copy)
            row.*text = keptTranslation(context, row.*text);
        it = copies.emplace(key, std::move(copy)).first;
    }
    return it->second;
}

} // namespace orvane
