#include "app/outputmonitorview.h"

#include "core/clock.h"

#include <QLabel>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {

constexpr int kRefreshMs = 1000;
constexpr int kLineHeight = 20;
constexpr int kMargin = 8;
constexpr int kGap = 4;

} // namespace

OutputMonitorView::OutputMonitorView(QWidget& window, const DmxOutput& output, StatusFn status)
    : m_monitor(output, monotonicNow()), m_status(std::move(status)) {
    m_label = new QLabel(&window);
    m_label->setObjectName("outputMonitor");
    m_label->setFixedHeight(kLineHeight);
    if (QLayout* layout = window.layout()) {
        layout->addWidget(m_label);
    } else {
        QRect used = window.childrenRect();
        int below = used.y() + used.height() + kGap;
        int width = std::max(used.x() + used.width() - kMargin, 200);
        m_label->setGeometry(kMargin, below, width, kLineHeight);
    }
    m_label->show();
    m_timer.start(kRefreshMs, m_label, [this] { refresh(); });
}

OutputMonitorView::~OutputMonitorView() {
    delete m_label; // and with it the refresh
}

void OutputMonitorView::refresh() {
    OutputMonitor::Sample s = m_monitor.sample(monotonicNow());
    m_label->setText(QString::fromStdString(s.text));
    if (s.olaUnreachable)
        say(kOlaNotReachableText, m_monitor.olaUnreachableDetail());
    if (s.olaBack)
        say(kOlaBackText, m_monitor.olaBackDetail());
}

// In the status line and on stderr, with the peer and the reason.
void OutputMonitorView::say(const char* what, const std::string& detail) {
    std::string text = std::string(what) + ": " + detail;
    if (m_status)
        m_status(text);
    std::fprintf(stderr, "orvane: %s\n", text.c_str());
}

} // namespace orvane
