#pragma once
// The program's hot keys: application-wide shortcuts that act whenever a window
// of the program has the focus. Alt+Space starts the fade-in, every step may
// carry a hot key that activates it, and sounds named with "(SC=" carry one
// that plays them. Keys are given as the show data stores them: a Windows
// virtual-key code with the hot-key field's modifier flags (show/keycodes.h).
// User-interface thread only.

#include "console/controlmodel.h"
#include "show/keycodes.h"
#include "show/showstore.h"

#include <QKeyCombination>
#include <QObject>
#include <QPointer>
#include <QShortcut>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace orvane {

// The one table between virtual-key codes and Qt keys. Numeric-pad keys are
// the Qt key with the keypad modifier.
struct QtKey {
    Qt::Key key = Qt::Key_unknown;
    bool keypad = false;
};
std::optional<QtKey> qtKeyOf(uint16_t keycode);
uint16_t virtualKeyOf(Qt::Key key, bool keypad); // 0 when it has none

// A hot key as a Qt key combination, and back; nothing when the key has no
// counterpart. Meta is not a hot-key modifier.
std::optional<QKeyCombination> toKeyCombination(HotKey key);
std::optional<HotKey> fromKeyCombination(QKeyCombination combination);

constexpr uint32_t kFadeInHotKeyId = 0x1FFFFFFF;
constexpr uint32_t kSoundHotKeyBase = 0x80000000u; // + position in the sound list

struct SoundHotKey {
    uint32_t id; // kSoundHotKeyBase + list position
    HotKey key;
};

struct HotKeyActions {
    std::function<void()> fadeIn;       // Alt+Space: ConsoleHandlers::fadeInHotKey
    std::function<void()> activateStep; // run after the step number was written
    std::function<void()> stopSound;
    std::function<void(int position)> selectSound;
    std::function<void()> play;
};

class HotKeys : public QObject {
    Q_OBJECT
public:
    // `window` is the shortcuts' parent; they live as long as it and this object.
    HotKeys(QWidget* window, ControlModel& controls, HotKeyActions actions);
    ~HotKeys() override;

    // Registers id for key, replacing what id had. Refused (false) when the key
    // has no Qt counterpart, undoes or redoes, another id holds the same
    // combination already (the other keeps working) or the window is gone.
    bool registerHotKey(uint32_t id, HotKey key);
    void unregisterHotKey(uint32_t id);
    std::optional<HotKey> registered(uint32_t id) const;

    // Alt+Space with kFadeInHotKeyId.
    bool registerFadeIn();
    // "Validate HK": the hot key of every step 0-499 from the show table, under
    // the step's number. Returns the number of keys that could not be registered.
    int validateStepHotKeys(ShowStore& store);
    // The sound list was built: its hot keys replace the previous ones.
    void setSoundHotKeys(const std::vector<SoundHotKey>& keys);

    // A hot key fired.
    void onHotKey(uint32_t id);

private:
    struct Entry {
        HotKey key;
        QPointer<QShortcut> shortcut; // the window may delete it first
    };

    QPointer<QWidget> m_window;
    ControlModel& m_controls;
    HotKeyActions m_actions;
    std::map<uint32_t, Entry> m_keys;
};

} // namespace orvane
