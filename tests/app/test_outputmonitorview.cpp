// The output monitor's line in a window: where it sits, what it shows, and the
// one "OLA not reachable" it reports per outage.

#include "app/outputmonitorview.h"
#include "dmx/fakeolaclient.h"
#include "support/qtapp.h"
#include "support/recordingline.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace orvane;
using namespace orvane::test;

namespace {

TEST(OutputMonitorView, ALineUnderTheConsoleWithEachOutputAndOneAlertPerOutage) {
    testApp();
    unsetenv("ORVANE_DMX_PORT");
    QWidget window;
    (new QWidget(&window))->setGeometry(8, 6, 1884, 990); // the console so far
    RecordingLine line;
    auto ola = std::make_shared<FakeOla>();
    ola->set(&FakeOla::reachable, false);
    DmxOutputOptions o;
    o.dmxPortSetting = [] { return "/dev/ttyDMX"; };
    o.outputSetting = [] { return "serial+ola"; };
    o.olaUniverseSetting = [] { return "5"; };
    o.ola = fakeOlaOptions(ola);
    o.runThread = false;
    DmxOutput dmx(line, o);
    std::vector<std::string> status;
    OutputMonitorView view(window, dmx, [&](const std::string& s) { status.push_back(s); });
    QLabel* label = view.label();
    EXPECT_EQ(label->geometry(), QRect(8, 1000, 1884, 20));

    ASSERT_EQ(dmx.start(), 0);
    ASSERT_TRUE(eventually([&] { return dmx.ola().outages() == 1; }));
    testing::internal::CaptureStderr();
    view.refresh();
    view.refresh(); // still unreachable: not said again
    std::string err = testing::internal::GetCapturedStderr();
    const std::string away = "OLA not reachable: olad at 127.0.0.1:9010, universe 5 (Connection "
                             "refused); retrying every 0.0 s";
    EXPECT_EQ(status, std::vector<std::string>{away});
    EXPECT_EQ(err, "orvane: " + away + "\n");
    std::string text = label->text().toStdString();
    EXPECT_EQ(text.substr(0, 8), "Serial: ");
    EXPECT_NE(text.find("    OLA universe 5: not reachable (olad at 127.0.0.1:9010: Connection "
                        "refused), retrying"),
              std::string::npos)
        << text;

    // olad comes back: said once, and the line shows OLA's figures again.
    ola->set(&FakeOla::reachable, true);
    ASSERT_TRUE(eventually([&] { return dmx.ola().state() == OlaState::Connected; }));
    testing::internal::CaptureStderr();
    view.refresh();
    view.refresh();
    err = testing::internal::GetCapturedStderr();
    const std::string back = "OLA reachable again: olad at 127.0.0.1:9010, universe 5";
    EXPECT_EQ(status, (std::vector<std::string>{away, back}));
    EXPECT_EQ(err, "orvane: " + back + "\n");
    text = label->text().toStdString();
    EXPECT_NE(text.find("    OLA universe 5: 0.0 frames/s"), std::string::npos) << text;
}

// The main window keeps its console in a scroll area inside a layout: the line
// goes to the layout's foot, under the scroll area, whatever the window's size.
TEST(OutputMonitorView, InAWindowWithALayoutTheLineIsItsLastItem) {
    testApp();
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QScrollArea);
    RecordingLine line;
    DmxOutputOptions o;
    o.runThread = false;
    DmxOutput dmx(line, o);
    OutputMonitorView view(window, dmx, nullptr);
    ASSERT_EQ(layout->count(), 2);
    EXPECT_EQ(layout->itemAt(1)->widget(), view.label());
    window.resize(800, 600);
    window.show();
    EXPECT_EQ(view.label()->height(), 20);
    EXPECT_EQ(view.label()->geometry().bottom() + layout->contentsMargins().bottom(), 599);
}

} // namespace
