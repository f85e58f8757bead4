#include "app/activationadapter.h"

#include "app/orvanedlg.h"
#include "app/remoteservices.h"
#include "app/toolwindows.h"

namespace orvane {

ActivationHooks activationHooks(COrvaneDlg& main) {
    ActivationHooks h;
    h.clock = &main.clock();
    h.shiftDown = [&main] { return main.dmx().keys().shift.down(); };
    h.autoFadeDisable = [&main] { return main.dmx().autoFadeDisable(); };
    h.timeline = [&main] { return main.tools() ? main.tools()->timelineView() : nullptr; };
    h.rebuildSoundList = [&main] { main.sound().buildList(); };
    h.fadeIn = [&main] { main.mainTimer().startFadeIn(main.now()); };
    h.soundDeviceOpen = [&main] { return main.sound().deviceOpen(); };
    h.pauseSound = [&main] { main.sound().setPaused(true); };
    h.resumeSound = [&main] { main.sound().setPaused(false); };
    h.stopSound = [&main] { main.sound().stop(); };
    h.playSound = [&main] { main.sound().play(); };
    h.playWhenLoaded = [&main](const std::string& name) { main.sound().playWhenLoaded(name); };
    h.mainTimerTick = [&main] { main.mainTimer().OnTimer(timers::kPlayback, main.now()); };
    h.soundList = &main.soundList();
    return h;
}

ExtraServices extraServices(COrvaneDlg& main) {
    ExtraServices s;
    s.processes = &main.processes();
    s.videoPlayer = &main.videoPlayer();
    s.windows = &main.windowLookup();
    RemoteControl& remote = main.remote().remote();
    s.ipDevices = &remote.ipDevices();
    s.ipLink = &remote.ipLink();
    s.notSent = [&remote](std::string_view text, std::string_view reason) {
        remote.logNotSent(text, reason);
    };
    s.startReplay = [&main](const std::string& path) { return main.dmx().startReplay(path); };
    s.closeLine = [&main] { main.dmx().closeLine(); };
    s.beforeChain = [&main](const std::string& show) { return main.saveBeforeChain(show); };
    s.endMainWindow = [&main](int result) { main.endFromShow(result); };
    return s;
}

} // namespace orvane
