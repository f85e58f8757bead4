// "Select Show": Open acts on the highlighted show and is offered only while
// one is highlighted; the last show starts highlighted.

#include "app/showlist.h"
#include "show/showfolders.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

template <typename T> T* child(QWidget& dialog, int id) {
    return dialog.findChild<T*>(QString::number(id));
}

} // namespace

TEST(ShowList, OpenActsOnTheHighlightedShowOnly) {
    testApp();
    TempDir root, config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    makeFolders(config.file("orvane"));
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=BETA\r\n");
    for (const char* show : {"alpha", "beta", "gamma"})
        ::mkdir(root.file(show).c_str(), 0755);
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    ShowChooser chooser(profiles, prompts, root.path());
    showlist dialog(chooser);
    auto* list = child<QListWidget>(dialog, showlist::kList);
    auto* open = child<QPushButton>(dialog, showlist::kOpen);
    ASSERT_TRUE(list && open);

    // The last show is highlighted, and Open is offered.
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().front()->text(), "beta");
    EXPECT_TRUE(open->isEnabled());
    // Nothing highlighted: nothing to open.
    list->clearSelection();
    EXPECT_FALSE(open->isEnabled());
    open->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    // Another row highlighted: that one opens.
    list->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
    EXPECT_TRUE(open->isEnabled());
    open->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.name(), "gamma");
    EXPECT_NE(readFile(config.file("orvane/profile.ini")).find("showname=gamma"),
              std::string::npos);
    ::unsetenv("XDG_CONFIG_HOME");
}
