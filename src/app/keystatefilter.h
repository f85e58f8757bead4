#pragma once
// The application-wide key-state tracker: an event filter that sees every key
// event of every window of the program and feeds the key states the output tick
// and the playback read. User-interface thread only (the states themselves are
// safe to read from any thread).

#include "console/inputstate.h"
#include "dmx/keystates.h"

#include <QObject>

class QKeyEvent;
class QMouseEvent;

namespace orvane {

class KeyStateFilter : public QObject {
    Q_OBJECT
public:
    KeyStateFilter(KeyStates& keys, InputState& input, QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;
    static bool isStepKey(const QKeyEvent* key);

private:
    void feedKey(const QKeyEvent* key, bool down);
    void feedMouse(const QMouseEvent* mouse, bool down);

    KeyStates& m_keys;
    InputState& m_input;
};

} // namespace orvane
