#include "app/keystatefilter.h"

#include "app/hotkeys.h"
#include "dmx/uiwake.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orvane {

KeyStateFilter::KeyStateFilter(KeyStates& keys, InputState& input, QObject* parent)
    : QObject(parent), m_keys(keys), m_input(input) {}

void KeyStateFilter::feedKey(const QKeyEvent* key, bool down) {
    switch (key->key()) {
    case Qt::Key_ScrollLock:
        down ? m_keys.scrollLock.press() : m_keys.scrollLock.release();
        break;
    case Qt::Key_Escape:
        down ? m_keys.escape.press() : m_keys.escape.release();
        break;
    default:
        break;
    }
    uint16_t code =
        virtualKeyOf(Qt::Key(key->key()), key->modifiers().testFlag(Qt::KeypadModifier));
    if (code)
        down ? m_input.keyDown(code) : m_input.keyUp(code);
    // The modifier keys follow the event's own report, which never misses a
    // release made while another window had the focus.
    Qt::KeyboardModifiers mods = key->modifiers();
    bool shift = mods.testFlag(Qt::ShiftModifier);
    m_keys.shift.set(shift);
    for (auto [mod, vkCode] :
         {std::pair{Qt::ShiftModifier, vk::kShift}, std::pair{Qt::ControlModifier, vk::kControl},
          std::pair{Qt::AltModifier, vk::kAlt}}) {
        bool isThisKey = code == vkCode;
        if (isThisKey)
            continue; // its own press or release event says it already
        mods.testFlag(mod) ? m_input.keyDown(vkCode) : m_input.keyUp(vkCode);
    }
}

void KeyStateFilter::feedMouse(const QMouseEvent* mouse, bool down) {
    auto set = [&](MouseButton b) { down ? m_input.mouseDown(b) : m_input.mouseUp(b); };
    if (mouse->button() == Qt::LeftButton)
        set(MouseButton::Left);
    else if (mouse->button() == Qt::MiddleButton)
        set(MouseButton::Middle);
    else if (mouse->button() == Qt::RightButton)
        set(MouseButton::Right);
}

// Keypad + and - step the show (the main timer polls them): no field types them.
bool KeyStateFilter::isStepKey(const QKeyEvent* key) {
    return key->modifiers().testFlag(Qt::KeypadModifier) &&
           (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus);
}

bool KeyStateFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // A held key repeats as release-press pairs; it stays down all along.
        if (!key->isAutoRepeat())
            feedKey(key, event->type() == QEvent::KeyPress);
        // The resting ticks read the keys: they wake, whether or not another
        // filter saw the event before this one ate it.
        uiwake::poke();
        if (isStepKey(key))
            return true;
        break;
    }

    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // Each press reaches the filter once per widget it travels through;
        // the state is the same every time.
        feedMouse(static_cast<QMouseEvent*>(event), event->type() == QEvent::MouseButtonPress);
        uiwake::poke();
        break;
    case QEvent::ApplicationDeactivate:
        // Keys released while another program has the focus are never seen.
        m_keys.shift.release();
        m_keys.escape.release();
        m_keys.scrollLock.release();
        m_input.releaseAll();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orvane
