// Qt's own texts (the buttons of message boxes) follow the operator's
// language once it is handed to the application, and leave with it.

#include "show/language.h"
#include "support/qtapp.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace orvane;

TEST(QtInTheOperatorsLanguage, MessageBoxButtonsAreFrenchThenEnglishAgain) {
    testApp();
    ASSERT_TRUE(useLanguage(Language::French));
    installLanguageInQt();
    {
        QMessageBox box(QMessageBox::Question, "orvane", "?", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"))
            << "Qt's French texts (qt6-translations-l10n) were not loaded";
        EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
    }
    // Our own texts come through Qt too, for tr() in widgets.
    EXPECT_EQ(QCoreApplication::translate("Settings", "English"), QStringLiteral("anglais"));
    ASSERT_TRUE(useLanguage(Language::English));
    QMessageBox box(QMessageBox::Question, "orvane", "?", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(QCoreApplication::translate("Settings", "English"), QStringLiteral("English"));
}
