#include "show/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>
#include <cctype>
#include <clocale>
#include <cstring>
#include <memory>
#include <optional>

namespace orvane {

namespace {

struct Loaded {
    Language language = Language::English;
    std::unique_ptr<QTranslator> own;
    std::unique_ptr<QTranslator> qt;
};

Loaded& loaded() {
    static Loaded l;
    return l;
}

std::optional<Language> named(std::string_view value) {
    // "fr", "fr_FR.UTF-8", "fr-CA"; "en" likewise.
    auto is = [&](std::string_view code) {
        return value.substr(0, 2) == code &&
               (value.size() == 2 || value[2] == '_' || value[2] == '-' || value[2] == '.');
    };
    if (is("fr"))
        return Language::French;
    if (is("en"))
        return Language::English;
    return std::nullopt;
}

// As the C library decides: only the plain C locale hides LANGUAGE ("C.UTF-8"
// does not).
bool isCLocale(std::string_view value) {
    return value.empty() || value == "C" || value == "POSIX";
}

std::optional<Language> fromLanguageList(std::string_view list) {
    while (!list.empty()) {
        size_t colon = list.find(':');
        if (std::optional<Language> l = named(list.substr(0, colon)))
            return l;
        if (colon == std::string_view::npos)
            break;
        list.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

} // namespace

LanguageChoice chooseLanguage(std::string_view setting,
                              const std::function<const char*(const char*)>& env) {
    LanguageChoice choice;
    std::string lowered(setting);
    for (char& c : lowered)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (!lowered.empty()) {
        if (lowered == "fr" || lowered == "en") {
            choice.language = lowered == "fr" ? Language::French : Language::English;
            return choice;
        }
        choice.settingRefused = true;
    }
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = env(name);
        if (v && *v) {
            locale = v;
            break;
        }
    }
    if (isCLocale(locale))
        return choice;
    const char* list = env("LANGUAGE");
    std::optional<Language> l = list ? fromLanguageList(list) : std::nullopt;
    choice.language = l.value_or(named(locale).value_or(Language::English));
    return choice;
}

bool useLanguage(Language language) {
    Loaded& l = loaded();
    l.language = language;
    l.own.reset();
    l.qt.reset();
    if (language == Language::English)
        return true;
    auto own = std::make_unique<QTranslator>();
    if (!own->load(QStringLiteral(":/i18n/orvane_fr.qm"))) {
        l.language = Language::English;
        return false;
    }
    l.own = std::move(own);
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        l.qt = std::move(qt);
    return true;
}

Language currentLanguage() {
    return loaded().language;
}

void matchSystemMessages() {
    if (loaded().language == Language::English) {
        std::setlocale(LC_MESSAGES, "C");
        return;
    }
    // French reasons need a UTF-8 character set to keep their accents.
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (!ctype || !std::strstr(ctype, "UTF-8"))
        std::setlocale(LC_CTYPE, "C.UTF-8");
    for (const char* name : {"fr_FR.UTF-8", "fr_CA.UTF-8", "fr_BE.UTF-8", "fr_CH.UTF-8"})
        if (std::setlocale(LC_MESSAGES, name))
            return;
}

void installLanguageInQt() {
    Loaded& l = loaded();
    if (l.qt)
        QCoreApplication::installTranslator(l.qt.get());
    if (l.own)
        QCoreApplication::installTranslator(l.own.get());
}

QString translateQ(const char* context, const char* text) {
    const Loaded& l = loaded();
    if (l.own) {
        QString t = l.own->translate(context, text);
        if (!t.isEmpty())
            return t;
    }
    return QString::fromUtf8(text);
}

std::string translate(const char* context, const char* text, const char* disambiguation, int n) {
    const Loaded& l = loaded();
    QString t = l.own ? l.own->translate(context, text, disambiguation, n) : QString();
    if (t.isEmpty())
        t = QString::fromUtf8(text);
    return t.replace(QStringLiteral("%n"), QString::number(n)).toStdString();
}

std::string translate(const char* context, const char* text) {
    if (!loaded().own)
        return text;
    return translateQ(context, text).toStdString();
}

std::string fillIn(std::string_view t, std::initializer_list<std::string_view> args) {
    // One pass, so that a value holding "%2" is never replaced in its turn.
    std::string out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i) {
        size_t n = i + 1 < t.size() ? size_t(t[i + 1] - '0') : 0;
        if (t[i] == '%' && n >= 1 && n <= args.size()) {
            out += *(args.begin() + (n - 1));
            ++i;
        } else {
            out += t[i];
        }
    }
    return out;
}

} // namespace orvane
