// The texts the operator reads on the web page and in the window's log come
// in the program's language; what peers receive stays the same in every
// language.

#include "remote/oscprotocol.h"
#include "remote/webpage.h"
#include "show/language.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <set>

using namespace orvane;

namespace {

QByteArray resourcePage() {
    QFile file(":/web/remote.html");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The object the page's script holds its texts in.
QJsonObject scriptTexts(const QByteArray& page) {
    QRegularExpression texts(R"(const texts = (\{.*?\});)");
    QRegularExpressionMatch match = texts.match(QString::fromUtf8(page));
    if (!match.hasMatch())
        return {};
    return QJsonDocument::fromJson(match.captured(1).toUtf8()).object();
}

// Switches to a language for one test and back to English after it.
struct InLanguage {
    explicit InLanguage(Language language) { ok = useLanguage(language); }
    ~InLanguage() { useLanguage(Language::English); }
    bool ok;
};

TEST(WebPageTexts, EveryMarkOfThePageIsFilledAndTheScriptFindsItsTexts) {
    QByteArray source = resourcePage();
    ASSERT_FALSE(source.isEmpty());
    QByteArray page = localisedPage(source);
    EXPECT_FALSE(page.contains("{{")) << "a mark the server does not know";
    EXPECT_TRUE(page.contains("<html lang=\"en\">"));
    EXPECT_TRUE(page.contains(">Back</button>"));
    EXPECT_TRUE(page.contains("aria-label=\"Fade progress\""));

    QJsonObject texts = scriptTexts(page);
    QRegularExpression used(R"(texts\.(\w+))");
    std::set<QString> names;
    for (const QRegularExpressionMatch& m : used.globalMatch(QString::fromUtf8(source)))
        names.insert(m.captured(1));
    EXPECT_GE(names.size(), 4u);
    for (const QString& name : names)
        EXPECT_TRUE(texts.value(name).isString()) << name.toStdString();
}

TEST(WebPageTexts, MarksTheServerDoesNotKnowStayAsTheyAre) {
    struct Case {
        const char* name;
        const char* page;
        const char* made;
    };
    const Case cases[] = {
        {"no mark", "<p>a</p>", "<p>a</p>"},
        {"a known mark", "<b>{{stop}}</b>", "<b>Stop</b>"},
        {"an unknown mark", "<b>{{nothing}}</b>", "<b>{{nothing}}</b>"},
        {"an unclosed mark", "<b>{{stop</b>", "<b>{{stop</b>"},
        {"marks side by side", "{{back}}{{go}}", "BackGO"},
        {"a mark at the end", "x{{lang}}", "xen"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(localisedPage(c.page), QByteArray(c.made)) << c.name;
}

// The French tests need the French translation compiled into the program.
TEST(RemoteInFrench, ThePageAndTheLogAreFrenchWhileOscRepliesStayEnglish) {
    InLanguage french(Language::French);
    ASSERT_TRUE(french.ok);
    QByteArray page = localisedPage(resourcePage());
    EXPECT_TRUE(page.contains("<html lang=\"fr\">"));
    EXPECT_TRUE(page.contains(">Retour</button>"));
    EXPECT_EQ(scriptTexts(page).value("live").toString(), "En ligne");

    OscMessage message{"/orvane/blackout", "i", {OscValue{'i', 2, 0, {}}}};
    OscRequest r = interpretOsc(message);
    EXPECT_EQ(r.error, "/orvane/blackout: the int must be 0 or 1");
    EXPECT_EQ(r.shown, "/orvane/blackout: l'int doit être 0 ou 1");
}

} // namespace
