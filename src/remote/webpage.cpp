#include "remote/webpage.h"

#include "show/language.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <string_view>

namespace orvane {

namespace {

struct PageText {
    const char* name; // the mark's name in the page
    const char* text; // in the context "WebPage"
};

// clang-format off
constexpr PageText kPageTexts[] = {
    {"title", QT_TRANSLATE_NOOP("WebPage", "orvane remote")},
    {"connecting", QT_TRANSLATE_NOOP("WebPage", "Connecting…")},
    {"lost", QT_TRANSLATE_NOOP("WebPage", "Connection to the console lost. Reconnecting…")},
    {"step", QT_TRANSLATE_NOOP("WebPage", "Step")},
    {"fadeProgress", QT_TRANSLATE_NOOP("WebPage", "Fade progress")},
    {"next", QT_TRANSLATE_NOOP("WebPage", "Next")},
    {"master", QT_TRANSLATE_NOOP("WebPage", "Master")},
    {"volume1", QT_TRANSLATE_NOOP("WebPage", "Volume 1")},
    {"volume2", QT_TRANSLATE_NOOP("WebPage", "Volume 2")},
    {"back", QT_TRANSLATE_NOOP("WebPage", "Back")},
    {"stop", QT_TRANSLATE_NOOP("WebPage", "Stop")},
    {"pause", QT_TRANSLATE_NOOP("WebPage", "Pause")},
    {"go", QT_TRANSLATE_NOOP("WebPage", "GO")},
    // What the script shows.
    {"live", QT_TRANSLATE_NOOP("WebPage", "Live")},
    {"notConnected", QT_TRANSLATE_NOOP("WebPage", "Not connected")},
    {"notSent", QT_TRANSLATE_NOOP("WebPage", "Not connected: nothing was sent.")},
    {"noToken", QT_TRANSLATE_NOOP("WebPage",
                                  "The address has no token: open the address the console gave, "
                                  "with ?token=.")},
};
// clang-format on

// The texts as one JSON object; '<' written as an escape so that no text can
// end the script element it stands in.
QByteArray textsObject() {
    QJsonObject texts;
    for (const PageText& t : kPageTexts)
        texts[QString::fromLatin1(t.name)] = translateQ("WebPage", t.text);
    return QJsonDocument(texts).toJson(QJsonDocument::Compact).replace("<", "\\u003c");
}

// What the mark {{name}} becomes; nothing for a name not known here.
std::optional<QByteArray> markText(std::string_view name) {
    if (name == "lang")
        return QByteArray(currentLanguage() == Language::French ? "fr" : "en");
    if (name == "texts")
        return textsObject();
    for (const PageText& t : kPageTexts)
        if (name == t.name)
            return translateQ("WebPage", t.text).toHtmlEscaped().toUtf8();
    return std::nullopt;
}

} // namespace

QByteArray localisedPage(const QByteArray& page) {
    QByteArray out;
    out.reserve(page.size() + page.size() / 8);
    qsizetype at = 0;
    while (at < page.size()) {
        qsizetype open = page.indexOf("{{", at);
        qsizetype close = open < 0 ? -1 : page.indexOf("}}", open + 2);
        if (close < 0)
            break;
        out.append(page.constData() + at, open - at);
        std::string_view name(page.constData() + open + 2, size_t(close - open - 2));
        if (std::optional<QByteArray> text = markText(name))
            out.append(*text);
        else
            out.append(page.constData() + open, close + 2 - open);
        at = close + 2;
    }
    out.append(page.constData() + at, page.size() - at);
    return out;
}

} // namespace orvane
