#include "app/soundadapter.h"

#include "app/hotkeys.h"
#include "app/orvanedlg.h"
#include "console/controlids.h"

#include <QMetaObject>

namespace orvane {

namespace {

void setSoundHotKeys(COrvaneDlg& main, const std::vector<SoundHotkey>& keys) {
    std::vector<SoundHotKey> shortcuts;
    for (const SoundHotkey& k : keys)
        shortcuts.push_back({k.id, k.key});
    if (HotKeys* hotKeys = main.hotKeys())
        hotKeys->setSoundHotKeys(shortcuts);
}

} // namespace

SoundConsoleOptions soundOptions(COrvaneDlg& main, std::string folder) {
    SoundConsoleOptions o;
    o.folder = std::move(folder);
    o.stopRecording = [&main] { main.dmx().stopRecording(); };
    o.leftButtonDown = [&main] { return main.input().mouse(MouseButton::Left); };
    o.repaintNow = [&main] {
        if (QWidget* w = main.widget(console::kStepInfo))
            w->repaint();
    };
    o.hotkeysChanged = [&main](const std::vector<SoundHotkey>& keys) {
        setSoundHotKeys(main, keys);
    };
    o.logLine = [&main](const std::string& line) {
        main.logLine(line, COrvaneDlg::kRefusalColour);
    };
    // The bank is read off this thread; what it finds is taken here.
    o.soundsArrived = [&main] {
        QMetaObject::invokeMethod(
            &main, [&main] { main.sound().takeArrivals(); }, Qt::QueuedConnection);
    };
    return o;
}

} // namespace orvane
