#include "app/outputmonitorview.h"

#include "dmx/clock.h"

#include <QLabel>
#include <QTimer>
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
    : m_monitor(output, monotonicNs()), m_status(std::move(status)) {
    QRect used = window.childrenRect();
    m_label = new QLabel(&window);
    m_label->setObjectName("outputMonitor");
    int below = used.y() + used.height() + kGap;
    int width = std::max(used.x() + used.width() - kMargin, 200);
    m_label->setGeometry(kMargin, below, width, kLineHeight);
    m_label->show();
    m_timer = new QTimer(m_label);
    QObject::connect(m_timer, &QTimer::timeout, m_label, [this] { refresh(); });
    m_timer->start(kRefreshMs);
}

OutputMonitorView::~OutputMonitorView() {
    delete m_label; // and its timer
}

void OutputMonitorView::refresh() {
    OutputMonitor::Sample s = m_monitor.sample(monotonicNs());
    m_label->setText(QString::fromStdString(s.text));
    if (!s.olaUnreachable)
        return;
    if (m_status)
        m_status(kOlaNotReachableText);
    std::fprintf(stderr, "orvane: %s: %s\n", kOlaNotReachableText,
                 m_monitor.olaUnreachableDetail().c_str());
}

} // namespace orvane
