#pragma once
// The extra-command language of a step's "extra" text. The text is searched,
// not parsed: each of the 30 keywords, in a fixed order, acts once on its first
// occurrence anywhere in the text (keywords are case-sensitive, the options
// min=, max=, FADE, and DWM, are not). Arguments "to the end of the text" take
// every following line too; EXEC=, VP= and CHAIN= read their argument at a fixed
// position from the start of the text, so they only work as its first command.
// User-interface thread only.

#include "core/clock.h"
#include "playback/effectplayback.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

class ControlModel;
class ProcessStarter;
class ShowStore;
class StepEffects;
class VideoPlayerClient;
class WindowLookup;

// The keywords in the order they are tried (LOADLOOP= only when LOAD= is absent).
constexpr int kExtraKeywordCount = 30;
extern const std::array<std::string_view, kExtraKeywordCount> kExtraKeywords;

constexpr size_t kLinkTextMax = 1023; // SUPERSCAN1=
constexpr size_t kFileNameMax = 999;  // LOAD=, LOADLOOP=, REPLAYDMX=
constexpr size_t kVedaMessageSize = 20;
constexpr int kAllDevices = -1;

// The IP devices (VEDA=): a 20-character text to the devices of one number, or
// to all of them.
class IpDevices {
public:
    virtual ~IpDevices() = default;
    virtual void sendToDevices(int device, std::string_view text) = 0;
};

// The IP link to the remote host (SUPERSCAN1=, SUPERSCAN1COLOR=).
class IpLink {
public:
    virtual ~IpLink() = default;
    virtual bool connected() const = 0;
    virtual void send(std::string_view text) = 0; // without waiting for an answer
    virtual void setColourReport(bool on) = 0;
};

// What the commands reach outside the console. A missing service makes its
// commands do nothing.
struct ExtraServices {
    ProcessStarter* processes = nullptr;      // EXEC=, CHAIN=
    IpDevices* ipDevices = nullptr;           // VEDA=
    IpLink* ipLink = nullptr;                 // SUPERSCAN1=, SUPERSCAN1COLOR=
    VideoPlayerClient* videoPlayer = nullptr; // VP=
    WindowLookup* windows = nullptr;          // SHUTTER=
    // REPLAYDMX=: opens the replay file and resets its frame counter.
    std::function<bool(const std::string& path)> startReplay;
    // CHAIN=: first asked whether the chain may happen (the show name is
    // checked and this show saved); then the DMX line is closed, the new
    // instance started and the main window ends with this result.
    std::function<bool(const std::string& show)> beforeChain;
    std::function<void()> closeLine;
    std::function<void(int result)> endMainWindow;
    // This program's executable; executablePath() when not given.
    std::function<std::string()> executable;
    // A VEDA= or SUPERSCAN1= text that cannot go out (too long, the link not
    // open): the command as written and the reason, for the window's log.
    std::function<void(std::string_view text, std::string_view reason)> notSent;
};

// The command line CHAIN= starts, as one text: the executable followed by
// " /STEP=%u /SHOW=%s".
std::string chainCommandLine(const std::string& executable, unsigned step, std::string_view show);

// The arguments of the commands that name files or shows, read from a whole
// Extra text as the commands read them. Nothing when the keyword is absent.
struct LoadCommand { // LOAD= or, without it, LOADLOOP=
    EffectOptions options;
    std::string_view name; // relative to the root folder
};
std::optional<LoadCommand> loadCommand(std::string_view text);
// REPLAYDMX=: the file name, relative to the root folder.
std::optional<std::string_view> replayCommand(std::string_view text);
struct MatrixCommand {
    std::string name; // ".BMP" added to a name without "."
    float speedX = 0;
    float speedY = 0;
};
std::optional<MatrixCommand> matrixCommand(std::string_view text);
// CHAIN=show,step: also nothing without a comma. The show name is read from
// the start of the text; the text is cut at the comma for the later keywords.
struct ChainCommand {
    std::string show;
    int step = 0;
    size_t comma = 0;
};
std::optional<ChainCommand> chainCommand(std::string_view text);

// Where the files are found ("\" or "/" as separators, any letter case): LOAD=,
// LOADLOOP= and REPLAYDMX= names in the root folder; MATRIX= names in the
// working folder, else in the root folder.
std::optional<std::string> findRootDataFile(const std::string& root, std::string_view name);
std::optional<std::string> findMatrixPicture(const std::string& root, std::string_view name);

class ExtraCommands {
public:
    ExtraCommands(ControlModel& controls, ShowStore& store, StepEffects& effects,
                  ExtraServices services);

    // The root folder, against which LOAD=, LOADLOOP= and REPLAYDMX= names (and
    // MATRIX= names not found in the working folder) resolve.
    void setRoot(std::string root) { m_root = std::move(root); }
    ExtraServices& services() { return m_services; }

    // Runs every keyword on the text; now starts an effect playback.
    void run(std::string_view text, Milliseconds now);

private:
    void exec(std::string_view text);
    void veda(std::string_view text);
    void videoPlayer(std::string_view text);
    void chain(std::string_view& text);
    void superscan(std::string_view text);
    void matrix(std::string_view text);
    void fadersAndLoad(std::string_view text, Milliseconds now);
    void load(std::string_view text, Milliseconds now);
    void replay(std::string_view text);
    void switches(std::string_view text);
    void shutter(std::string_view text);
    void sendVeda(int device, std::string_view message);

    ControlModel& m_controls;
    ShowStore& m_store;
    StepEffects& m_effects;
    ExtraServices m_services;
    std::string m_root;
};

} // namespace orvane
