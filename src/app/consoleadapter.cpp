#include "app/consoleadapter.h"

#include "app/consoledrawing.h"
#include "app/orvanedlg.h"
#include "app/remoteservices.h"
#include "app/toolwindows.h"

#include <QApplication>

namespace orvane {

namespace {

// A tool window's action, skipped before the tool windows exist and after they went.
template <typename Action> std::function<void()> onTools(COrvaneDlg& main, Action action) {
    return [&main, action] {
        if (ToolWindows* tools = main.tools())
            action(*tools);
    };
}

} // namespace

ConsoleHooks consoleHooks(COrvaneDlg& main) {
    ConsoleHooks h;
    h.clearAutoFadeDisable = [&main] { main.dmx().setAutoFadeDisable(false); };
    h.showTimeWindow = [&main](int left, int right) {
        if (ToolWindows* tools = main.tools())
            tools->openShowTime(left, right);
    };
    h.toggleTimeline = onTools(main, [](ToolWindows& t) { t.toggleTimeline(); });
    h.toggleGlobalColour = onTools(main, [](ToolWindows& t) { t.toggleGlobalColour(); });
    h.toggleManualMode = onTools(main, [](ToolWindows& t) { t.toggleManualMode(); });
    h.openIpLink = [&main] { return main.remote().remote().openIpLink(); };
    h.closeIpLink = [&main] { main.remote().remote().closeIpLink(); };
    h.ipLinkHost = [&main] { return main.remote().linkHost(); };
    h.validateHotKeys = [&main] { main.registerStepHotkeys(); };
    h.repaintMonitor = [&main] {
        if (ConsoleDrawing* drawing = main.drawing())
            drawing->repaintMonitor();
    };
    return h;
}

EditHooks editHooks(COrvaneDlg& main) {
    EditHooks h;
    h.busyCursor = [](bool busy) {
        busy ? QApplication::setOverrideCursor(Qt::WaitCursor)
             : QApplication::restoreOverrideCursor();
    };
    h.rebuildSoundList = [&main] { main.sound().buildList(); };
    return h;
}

HotKeyActions hotKeyActions(COrvaneDlg& main) {
    HotKeyActions a;
    a.fadeIn = [&main] { main.consoleHandlers().fadeInHotKey(); };
    a.activateStep = [&main] { main.activation().activate(); };
    a.stopSound = [&main] { main.sound().stop(); };
    a.selectSound = [&main](int position) { main.soundList().select(position); };
    a.play = [&main] { main.sound().play(); };
    return a;
}

} // namespace orvane
