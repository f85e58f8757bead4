// The real main window offscreen, driven as an operator drives it: Enter in
// fields, the keypad's + and -, the step field and its spin, a small screen,
// the log of refused sounds and the DMX interface indicator on a
// pseudo-terminal that goes away and comes back.

#include "app/orvanedlg.h"
#include "support/pty.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

namespace fs = std::filesystem;

class ConsoleWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(pty.ok());
        fs::create_symlink(pty.slavePath(), device);
        setenv("ORVANE_DMX_PORT", device.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        fs::create_directories(root.file("demo/step0"));
        writeFile(root.file("demo/step0/bad.wav"), std::string(600, 'x'));
        dlg = std::make_unique<COrvaneDlg>(profiles, prompts, root.path(), "demo", StartOptions{});
        dlg->OnInitDialog();
        prompts.shown.clear();
    }
    void TearDown() override {
        dlg.reset();
        unsetenv("ORVANE_DMX_PORT");
    }

    QWidget* widget(int id) const { return dlg->widget(id); }
    ControlModel& controls() { return dlg->controls(); }

    // A key as the operator types it into the widget of a control.
    void key(int id, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, QString text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(widget(id), &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(widget(id), &release);
    }
    void type(int id, const char* text) {
        for (const char* c = text; *c; ++c)
            key(id, *c >= 'a' ? *c - 'a' + Qt::Key_A : *c, Qt::NoModifier, QString(QChar(*c)));
    }
    // Runs the window's timers until pred holds or timeoutMs passed.
    bool waitFor(const std::function<bool()>& pred, int timeoutMs = 3000) {
        QElapsedTimer t;
        t.start();
        while (!pred()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    void runFor(int ms) {
        waitFor([] { return false; }, ms);
    }
    std::string indicator() {
        const std::string& t = controls().text(4090);
        return t.substr(0, t.find('\n'));
    }

    PtyPair pty;
    TempDir root, config, dir;
    std::string device = dir.file("ttyDMX");
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    std::unique_ptr<COrvaneDlg> dlg;
};

TEST_F(ConsoleWindow, EnterInAFieldPressesNoButton) {
    for (int id : {1000, 1092, 1420}) {
        key(id, Qt::Key_Return);
        key(id, Qt::Key_Enter, Qt::KeypadModifier);
        key(id, Qt::Key_Return);
    }
    runFor(100);
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front().title;
    for (QPushButton* b : dlg->findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault()) << b->text().toStdString();
        EXPECT_FALSE(b->autoDefault()) << b->text().toStdString();
    }
}

TEST_F(ConsoleWindow, KeypadPlusAndMinusStepTheShowAndNeverType) {
    controls().setText(1000, "3");
    controls().setText(1052, "house lights");
    int stepChanges = 0;
    controls().observe(
        [&](int id, ControlField f) { stepChanges += id == 1000 && f == ControlField::Text; });

    key(1052, Qt::Key_Plus, Qt::KeypadModifier, "+");
    auto* caption = qobject_cast<QPlainTextEdit*>(widget(1052));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->toPlainText().toStdString(), "house lights");
    ASSERT_TRUE(waitFor([&] { return controls().text(1000) == "4"; }));
    StepRecord left;
    dlg->session().store().LoadStep(3, left);
    EXPECT_EQ(left.name, "house lights");

    // In the step field itself the key moves one step, once.
    key(1000, Qt::Key_Plus, Qt::KeypadModifier, "+");
    ASSERT_TRUE(waitFor([&] { return controls().text(1000) == "5"; }));
    runFor(150);
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(1000))->text().toStdString(), "5");
    EXPECT_EQ(stepChanges, 2);
    key(1000, Qt::Key_Minus, Qt::KeypadModifier, "-");
    ASSERT_TRUE(waitFor([&] { return controls().text(1000) == "4"; }));
    EXPECT_EQ(dlg->session().currentStep(), 4);
}

TEST_F(ConsoleWindow, StepFieldTakesStepNumbersOnlyAndTheSpinMovesByOne) {
    auto* edit = qobject_cast<QLineEdit*>(widget(1000));
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    type(1000, "600"); // the last digit would make 600: refused
    EXPECT_EQ(edit->text().toStdString(), "60");
    EXPECT_EQ(controls().text(1000), "60");
    EXPECT_EQ(dlg->session().currentStep(), 60);
    type(1000, "a-");
    EXPECT_EQ(edit->text().toStdString(), "60");

    QList<QToolButton*> arrows = widget(1001)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    arrows[0]->click(); // up
    EXPECT_EQ(controls().text(1000), "61");
    EXPECT_EQ(dlg->session().currentStep(), 61);
    arrows[1]->click(); // down
    arrows[1]->click();
    EXPECT_EQ(controls().text(1000), "59");
    controls().setText(1000, "499");
    arrows[0]->click();
    EXPECT_EQ(controls().text(1000), "499");
    controls().setText(1000, "0");
    arrows[1]->click();
    EXPECT_EQ(controls().text(1000), "0");
}

// The console scales with the window; only below its floor scale, where its
// texts would no longer be readable, does it scroll.
TEST_F(ConsoleWindow, BelowTheFloorScaleSaveAndQuitAreReachedByScrolling) {
    auto* area = dlg->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(dlg->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    dlg->resize(1366, 768);
    QApplication::processEvents();
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
    dlg->resize(900, 500);
    QApplication::processEvents();
    EXPECT_GT(area->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    for (int id : {4085, 4082}) {
        QWidget* button = widget(id);
        area->ensureWidgetVisible(button);
        QRect shown(button->mapTo(area->viewport(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(area->viewport()->rect().contains(shown)) << id;
    }
    qobject_cast<QPushButton*>(widget(4085))->click(); // "Save" works from there
    EXPECT_TRUE(fs::exists(root.file("demo/dmx.ini")));
}

TEST_F(ConsoleWindow, ARefusedSoundFileIsInTheLogWithItsPathAndReason) {
    auto* log = qobject_cast<QTextEdit*>(widget(1309));
    ASSERT_NE(log, nullptr);
    // The bank is read off the user-interface thread: its news arrives soon.
    const std::string line = "Sound file " + root.file("demo/step0/bad.wav") +
                             " left out: not a sound file that can be decoded";
    EXPECT_TRUE(waitFor([&] {
        return log->toPlainText().toStdString().find(line) != std::string::npos;
    })) << log->toPlainText().toStdString();
}

TEST_F(ConsoleWindow, InterfaceIndicatorFollowsTheLineAwayAndBack) {
    EXPECT_EQ(indicator(), device + ": open");
    EXPECT_NE(controls().text(4090).find("\nsince "), std::string::npos);

    pty.closeMaster(); // pulled out
    ASSERT_TRUE(waitFor([&] { return indicator() == device + ": unplugged"; })) << indicator();

    PtyPair second; // plugged in again, under the same name
    ASSERT_TRUE(second.ok());
    fs::remove(device);
    fs::create_symlink(second.slavePath(), device);
    ASSERT_TRUE(waitFor([&] { return indicator() == device + ": open"; }, 5000)) << indicator();
    EXPECT_EQ(second.read(2 * 513, 2000).size(), 2u * 513);
    EXPECT_TRUE(prompts.shown.empty());

    // "Reset USB <-> DMX" with the interface gone names the device and the reason.
    // The line's own message is posted: it opens once the handler has told the
    // indicator (and so the retry), over the box the handler opened.
    fs::remove(device);
    controls().click(1333);
    EXPECT_EQ(indicator(), device + ": not found");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "No DMX output for now: " + device +
                                         " not found (No such file or directory); the "
                                         "interface is tried again every 2 seconds");
    ASSERT_TRUE(waitFor([&] { return prompts.shown.size() == 2; }));
    EXPECT_EQ(prompts.shown[1].text,
              "Cannot open the DMX interface " + device + ": No such file or directory");
}

} // namespace
