// The easy show builder's window offscreen: its controls, drags out of the
// lists and off the icons with real mouse events, the caption boxes, the
// context menu, the double click and the strip's drawing.

#include "panels/buildertable.h"
#include "support/mainwindowstandin.h"
#include "support/qtapp.h"
#include "windows/builderart.h"
#include "windows/dialogscale.h"
#include "windows/easyshowbuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

using namespace orvane;
using namespace orvane::builder;

namespace {

StepRecord content(int step) {
    StepRecord r;
    r.master = 255;
    r.fader[0] = step;
    r.name = "step " + std::to_string(step);
    return r;
}

void send(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button,
          Qt::MouseButtons held, QPoint global) {
    QMouseEvent e(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct BuilderWindow : ::testing::Test {
    test::MainWindowStandIn main;
    bool buttonDown = true;
    std::unique_ptr<easyshowbuilder> window;

    void SetUp() override {
        testApp();
        for (int s = 0; s < kStepCount; ++s)
            main.store(s, content(s));
        for (const char* name : {"intro.wav", "storm.wav"})
            test::writeFile(main.root.file(std::string("show/step0/") + name), "x");
        main.goTo(30);
        main.controls.setText(console::kStepNumber, "30");
        BuilderHooks hooks;
        hooks.leftButtonDown = [this] { return buttonDown; };
        window = std::make_unique<easyshowbuilder>(main.session, main.controls, hooks);
        window->show();
        // The test screen is smaller than the builder: most cases work at its
        // design size, one on the window scaled down.
        window->resize(kWindowWidth, kWindowHeight);
    }
    void TearDown() override { window.reset(); }

    ShowBuilder& model() { return window->model(); }
    QWidget* w(int id) { return window->widget(id); }
    // A point of the window inside the cell of a step (y in the strip's
    // design pixels), at the window's present scale.
    QPoint cellPoint(int step, int y = 100) {
        QWidget* strip = w(kStrip);
        CellSpan span = model().cellSpan(step - model().firstVisible());
        const QRect inner = strip->contentsRect();
        const QSize design = designClientSize(strip);
        const QPoint at(((span.left + span.right) / 2) * inner.width() / design.width(),
                        y * inner.height() / design.height());
        return strip->mapTo(window.get(), inner.topLeft() + at);
    }
    QPoint global(QPoint windowPoint) { return window->mapToGlobal(windowPoint); }
    void waitMs(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

} // namespace

TEST_F(BuilderWindow, EveryControlHasItsWidgetAndTheTextsStandAsGiven) {
    EXPECT_EQ(window->windowTitle(), "Easy show builder");
    for (int id : model().controls().ids()) {
        QWidget* widget = w(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_TRUE(window->rect().contains(widget->geometry())) << id;
    }
    std::set<QString> labels;
    for (QLabel* l : window->findChildren<QLabel*>())
        labels.insert(l->text());
    for (const DropIcon& icon : kDropIcons) {
        EXPECT_TRUE(labels.count(QString::fromUtf8(icon.label))) << icon.label;
        EXPECT_FALSE(builderPicture(icon.cursor).isNull()) << icon.cursor;
    }
    EXPECT_EQ(qobject_cast<QAbstractButton*>(w(kLightOnly))->text(), "Copy only the light");
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(w(kLightOnly))->isChecked());
    EXPECT_EQ(qobject_cast<QAbstractButton*>(w(kSave))->text(), "Save");
    EXPECT_FALSE(w(kStrip)->isEnabled());
    ASSERT_EQ(qobject_cast<QListWidget*>(w(kSoundList))->count(), 2);
    // Every picture and cursor the strip and the drags use differs from the others.
    std::vector<int> numbers = {kArtTimed,     kArtStepSound,  kArtManual,   kArtPlaySound,
                                kArtStopSound, kArtEndOfSound, kArtPause,    kSoundCursor,
                                kEffectCursor, kArtPlay,       kArtStopFade, kArtStop};
    for (const DropIcon& icon : kDropIcons)
        if (icon.code == -5 || icon.code == -6 || icon.code == -7 || icon.code == -8)
            numbers.push_back(icon.cursor);
    std::set<QByteArray> images;
    for (int n : numbers) {
        QImage img = builderPicture(n).toImage();
        images.insert(
            QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
    }
    EXPECT_EQ(images.size(), numbers.size());
}

TEST_F(BuilderWindow, ASoundDraggedOutOfTheListLandsOnTheCellWhereTheButtonIsLetGo) {
    auto* list = qobject_cast<QListWidget*>(w(kSoundList));
    QWidget* view = list->viewport();
    QPoint from = list->visualItemRect(list->item(1)).center();
    send(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton,
         view->mapToGlobal(from));
    EXPECT_EQ(window->shownCursor(), 0) << "not a drag yet";
    QPoint moved = from + QPoint(40, 0);
    send(view, QEvent::MouseMove, moved, Qt::NoButton, Qt::LeftButton, view->mapToGlobal(moved));
    EXPECT_EQ(window->shownCursor(), kSoundCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);

    QPoint target = cellPoint(32);
    send(view, QEvent::MouseButtonRelease, view->mapFrom(window.get(), target), Qt::LeftButton,
         Qt::NoButton, global(target));
    EXPECT_EQ(main.stored(32).soundnameatbegin, "storm.wav");
    EXPECT_EQ(main.stored(32).playatbegin, 1);
    EXPECT_EQ(window->shownCursor(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BuilderWindow, AnIconPressedAndLetGoOverACellOrOutside) {
    QWidget* icon = w(kDropIcons[3].control); // end of sound
    send(icon, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton,
         icon->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(window->shownCursor(), kDropIcons[3].cursor);
    send(icon, QEvent::MouseButtonRelease, icon->mapFrom(window.get(), cellPoint(31)),
         Qt::LeftButton, Qt::NoButton, global(cellPoint(31)));
    EXPECT_EQ(main.stored(31).nextonstop, 1);
    EXPECT_EQ(window->shownCursor(), 0);

    std::vector<StepRecord> before = main.snapshot();
    QWidget* pause = w(kDropIcons[8].control);
    send(pause, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton,
         pause->mapToGlobal(QPoint(5, 5)));
    QPoint onList = w(kEffectList)->geometry().center();
    send(pause, QEvent::MouseButtonRelease, pause->mapFrom(window.get(), onList), Qt::LeftButton,
         Qt::NoButton, global(onList));
    EXPECT_EQ(main.snapshot(), before);
    EXPECT_EQ(window->shownCursor(), 0);
}

// Scaled down to fit a small screen, the window still drops on the cell under
// the pointer and lays its caption boxes over their cells.
TEST_F(BuilderWindow, ScaledDownADropLandsOnTheCellUnderThePointer) {
    window->resize(kWindowWidth * 6 / 10, kWindowHeight * 6 / 10);
    ASSERT_LT(w(kStrip)->width(), designGeometry(w(kStrip)).width());
    QWidget* icon = w(kDropIcons[3].control); // end of sound
    send(icon, QEvent::MouseButtonPress, {3, 3}, Qt::LeftButton, Qt::LeftButton,
         icon->mapToGlobal(QPoint(3, 3)));
    send(icon, QEvent::MouseButtonRelease, icon->mapFrom(window.get(), cellPoint(33)),
         Qt::LeftButton, Qt::NoButton, global(cellPoint(33)));
    EXPECT_EQ(main.stored(33).nextonstop, 1);
    EXPECT_EQ(main.stored(32).nextonstop, 0);
    EXPECT_EQ(main.stored(34).nextonstop, 0);
    QWidget* box = w(kFirstCaption + 2);
    const QRect boxPlace(box->mapTo(window.get(), QPoint(0, 0)), box->size());
    EXPECT_TRUE(boxPlace.contains(cellPoint(32, 150).x(), boxPlace.center().y()));
    EXPECT_GE(QFontInfo(box->font()).pointSizeF(), kMinimumPoints - 0.01);
}

TEST_F(BuilderWindow, TheTimerCancelsADragLetGoElsewhere) {
    QWidget* icon = w(kDropIcons[0].control);
    send(icon, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton,
         icon->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(window->shownCursor(), kDropIcons[0].cursor);
    buttonDown = false;
    waitMs(3 * kTimerMs);
    EXPECT_FALSE(model().dragging());
    EXPECT_EQ(window->shownCursor(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BuilderWindow, CaptionBoxesLieOverTheCellsAndStoreWhatIsTyped) {
    auto* box = qobject_cast<QPlainTextEdit*>(w(kFirstCaption + 1));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(w(kFirstCaption + 4)->isVisible());
    EXPECT_EQ(box->toPlainText(), "step 31");
    QRect strip(w(kStrip)->mapTo(window.get(), w(kStrip)->contentsRect().topLeft()),
                w(kStrip)->contentsRect().size());
    CellSpan span = model().cellSpan(1);
    EXPECT_EQ(box->geometry(),
              QRect(strip.left() + span.left + 20, strip.bottom() + 1 - 40, span.width() - 20, 38));
    EXPECT_EQ(box->font().family(), "Arial");

    box->setPlainText("Entrée\ndu public");
    EXPECT_EQ(main.stored(31).name, "Entrée\\ndu public");
    model().repaintStrip();
    EXPECT_EQ(box->toPlainText(), "Entrée\ndu public");
}

TEST_F(BuilderWindow, DoubleClickAndTheContextMenu) {
    send(window.get(), QEvent::MouseButtonDblClick, cellPoint(32), Qt::LeftButton, Qt::LeftButton,
         global(cellPoint(32)));
    EXPECT_EQ(main.session.currentStep(), 32);

    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            shown << a->text();
        menu->setActiveAction(menu->actions().at(2));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &enter);
    });
    send(window.get(), QEvent::MouseButtonRelease, cellPoint(33), Qt::RightButton, Qt::NoButton,
         global(cellPoint(33)));
    EXPECT_EQ(shown, (QStringList{"Insert a step after this step", "Delete this step",
                                  "Duplicate this step"}));
    EXPECT_EQ(main.session.currentStep(), 33);
    EXPECT_EQ(main.stored(34), main.stored(33)) << "duplicated";
}

TEST_F(BuilderWindow, TheStripShowsBandsOutlinesAndPictures) {
    StepRecord green = content(31);
    green.ple = "vert";
    green.faderude = 1;
    green.fadet = 2;
    green.togglepause = 1;
    main.store(31, green);
    model().repaintStrip();
    QImage strip = w(kStrip)->grab(w(kStrip)->contentsRect()).toImage();
    CellSpan first = model().cellSpan(0), second = model().cellSpan(1);
    EXPECT_EQ(strip.pixelColor(second.left + 30, 15), QColor(0, 255, 0)) << "a solid band";
    EXPECT_EQ(strip.pixelColor(first.left + 1, 100), QColor(255, 0, 0)) << "the current step";
    EXPECT_EQ(strip.pixelColor(second.left, 100), QColor(0, 0, 0)) << "a black outline";
    EXPECT_EQ(strip.pixelColor(second.left + 60, 170), QColor(192, 192, 192));
    QImage pause = builderPicture(kArtPause).toImage();
    EXPECT_EQ(strip.pixelColor(second.left + 10 + 10, 52 + 16).rgb(),
              pause.pixelColor(10, 16).rgb())
        << "the pause picture at the cell's left";
}
