#pragma once
// The application-wide key-state tracker: an event filter that sees every key
// event of every window of the program and feeds the key states the output tick
// and the playback read. User-interface thread only (the states themselves are
// safe to read from any thread).

#include "dmx/keystates.h"

#include <QObject>

namespace orvane {

class KeyStateFilter : public QObject {
    Q_OBJECT
public:
    explicit KeyStateFilter(KeyStates& keys, QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyStates& m_keys;
};

} // namespace orvane
