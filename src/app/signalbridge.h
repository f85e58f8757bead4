#pragma once
// Turns SIGINT and SIGTERM into a Qt signal on the user-interface thread, so a
// kill from a terminal or a session manager closes the main window the way its
// close box does.

#include <QObject>

class QSocketNotifier;

namespace orvane {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace orvane
