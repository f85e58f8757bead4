#include "app/editsadapter.h"

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "dmx/uiwake.h"
#include "show/steprecord.h"
#include "windows/timeline.h"

#include <QMetaObject>
#include <cstdio>

namespace orvane {

UndoHooks undoHooks(COrvaneDlg& main) {
    UndoHooks h;
    h.rebuildSoundList = [&main] { main.sound().buildList(); };
    h.restored = [&main] {
        if (ToolWindows* tools = main.tools())
            if (timeline* t = tools->timelineWindow())
                t->update();
        // The keys were taken before the resting ticks saw them.
        uiwake::poke();
    };
    return h;
}

RecoveryHooks recoveryHooks(COrvaneDlg& main) {
    RecoveryHooks h;
    // From the writer's thread, which stops before the window goes.
    h.post = [&main](std::function<void()> call) {
        QMetaObject::invokeMethod(&main, std::move(call), Qt::QueuedConnection);
    };
    h.tell = [&main](const std::string& text, bool error) {
        main.controls().setText(console::kStatus, text);
        main.logLine(text, error ? makeColour(255, 0, 0) : makeColour(0, 128, 128));
        std::fprintf(stderr, "orvane: %s\n", text.c_str());
    };
    h.consoleRounds = [&main] { return main.mainTimer().changedRounds(); };
    return h;
}

} // namespace orvane
