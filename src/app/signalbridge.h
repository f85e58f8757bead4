#pragma once
// Turns SIGINT and SIGTERM into a Qt signal on the user-interface thread, so a
// kill from a terminal or a session manager ends the program through its own
// shutdown (the show is saved first). A signal that arrives before the bridge
// exists, or while a dialog runs its own event loop, is not lost: it waits in
// a pipe until the user-interface thread reads it.

#include <QObject>

class QSocketNotifier;

namespace orvane {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    // Catches the two signals from now on; call it first thing in main.
    static void catchSignals();

    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace orvane
