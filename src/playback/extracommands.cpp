#include "playback/extracommands.h"

#include "console/controlmodel.h"
#include "playback/stepeffects.h"
#include "programs/processstart.h"
#include "programs/videoplayerclient.h"
#include "programs/windowlookup.h"
#include "show/datafile.h"
#include "show/language.h"
#include "show/showstore.h"
#include "show/textencoding.h"
#include "show/textutil.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace orvane {

const std::array<std::string_view, kExtraKeywordCount> kExtraKeywords = {
    "EXEC=",
    "VEDA=",
    "VP=",
    "CHAIN=",
    "SUPERSCAN1COLOR=OFF",
    "SUPERSCAN1COLOR=ON",
    "SUPERSCAN1=",
    "MATRIX=",
    "RANDOM=",
    "SOUNDACTIVE=",
    "LOAD=",
    "REPLAYDMX=",
    "SMOKE=ON",
    "SMOKE=OFF",
    "SCREENUP=ON",
    "SCREENUP=OFF",
    "SCREENDOWN=ON",
    "SCREENDOWN=OFF",
    "BSLIGHT=ON",
    "BSLIGHT=OFF",
    "MISC1=ON",
    "MISC1=OFF",
    "MISC2=ON",
    "MISC2=OFF",
    "MISC3=ON",
    "MISC3=OFF",
    "MISC4=ON",
    "MISC4=OFF",
    "SHUTTER=ON",
    "SHUTTER=OFF",
};

namespace {

struct Switch {
    std::string_view on;
    std::string_view off;
    int id;
};

// Console switches 1012..1019 ("Manu Shutter #1" ... "MISC4"); OFF is applied
// after ON, so it wins.
constexpr std::array<Switch, 8> kSwitches = {{
    {"SMOKE=ON", "SMOKE=OFF", 1012},
    {"SCREENUP=ON", "SCREENUP=OFF", 1013},
    {"SCREENDOWN=ON", "SCREENDOWN=OFF", 1014},
    {"BSLIGHT=ON", "BSLIGHT=OFF", 1015},
    {"MISC1=ON", "MISC1=OFF", 1016},
    {"MISC2=ON", "MISC2=OFF", 1017},
    {"MISC3=ON", "MISC3=OFF", 1018},
    {"MISC4=ON", "MISC4=OFF", 1019},
}};

constexpr int kShutterToggle = 1001;

bool contains(std::string_view text, std::string_view keyword) {
    return text.find(keyword) != std::string_view::npos;
}

// The position just after the first occurrence of the keyword.
std::optional<size_t> after(std::string_view text, std::string_view keyword) {
    size_t at = text.find(keyword);
    if (at == std::string_view::npos)
        return std::nullopt;
    return at + keyword.size();
}

// An argument of one item: at most max bytes, cut at the first comma and the
// first line end (CR, or LF for texts typed on this platform).
std::string_view cutArgument(std::string_view arg, size_t max) {
    arg = cutUtf8(arg, max);
    return arg.substr(0, arg.find_first_of(",\r\n"));
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::optional<ForeignWindow> findShutter(WindowLookup& windows) {
    if (auto w = windows.findTopLevel("Shutter -"))
        return w;
    return windows.findTopLevel("Shutter |");
}

// A file named by show data; a name that matched only without regard to case
// is noted, so an operator can see which file was taken.
std::optional<std::string> findShowDataFile(const std::string& folder, std::string_view name) {
    std::optional<FoundFile> found = findDataFile(folder, name);
    if (!found)
        return std::nullopt;
    if (found->caseFolded)
        std::fprintf(
            stderr, "orvane: %s\n",
            fillIn(translate("Extra commands", "%1 taken as %2"), {name, found->path}).c_str());
    return found->path;
}

// A MATRIX= speed in pixels a tick: any number a float holds exactly enough
// to move by; the picture wraps, so nothing faster means anything more.
float matrixSpeed(std::string_view text) {
    constexpr double kFastest = 1e6;
    double v = leadingDouble(text);
    return std::isfinite(v) ? float(std::clamp(v, -kFastest, kFastest)) : 0.0f;
}

std::string workingFolder() {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    return ec ? std::string(".") : cwd;
}

} // namespace

std::optional<LoadCommand> loadCommand(std::string_view text) {
    LoadCommand command;
    std::optional<size_t> p = after(text, "LOAD=");
    if (!p) {
        p = after(text, "LOADLOOP=");
        command.options.loop = true;
    }
    if (!p)
        return std::nullopt;
    std::string_view arg = text.substr(*p);
    if (startsWithIgnoreCase(arg, "FADE,")) {
        command.options.fade = true;
        arg.remove_prefix(5);
    }
    if (startsWithIgnoreCase(arg, "DWM,")) {
        command.options.dontWriteMaster = true;
        arg.remove_prefix(4);
    }
    command.name = cutArgument(arg, kFileNameMax);
    return command;
}

std::optional<std::string_view> replayCommand(std::string_view text) {
    std::optional<size_t> p = after(text, "REPLAYDMX=");
    if (!p)
        return std::nullopt;
    return cutArgument(text.substr(*p), kFileNameMax);
}

std::optional<MatrixCommand> matrixCommand(std::string_view text) {
    std::optional<size_t> p = after(text, "MATRIX=");
    if (!p)
        return std::nullopt;
    // MATRIX=file,movex,movey on its own line.
    std::string_view line = text.substr(*p);
    line = line.substr(0, line.find_first_of("\r\n"));
    size_t comma = line.find(',');
    MatrixCommand command;
    command.name = std::string(cutUtf8(line.substr(0, comma), kMatrixNameMax));
    size_t lastPart = command.name.find_last_of("/\\");
    if (command.name.find('.', lastPart == std::string::npos ? 0 : lastPart) == std::string::npos)
        command.name = std::string(cutUtf8(command.name, kMatrixNameMax - 4)) + ".BMP";
    if (comma != std::string_view::npos) {
        command.speedX = matrixSpeed(line.substr(comma + 1));
        size_t second = line.find(',', comma + 1);
        if (second != std::string_view::npos)
            command.speedY = matrixSpeed(line.substr(second + 1));
    }
    return command;
}

std::optional<ChainCommand> chainCommand(std::string_view text) {
    if (!contains(text, "CHAIN="))
        return std::nullopt;
    size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    ChainCommand command;
    command.comma = comma;
    command.step = leadingInt(text.substr(comma + 1));
    // The show name stands from the start of the text, after "CHAIN=".
    command.show = std::string(comma > 6 ? text.substr(6, comma - 6) : std::string_view());
    return command;
}

std::optional<std::string> findRootDataFile(const std::string& root, std::string_view name) {
    return findShowDataFile(root, name);
}

std::optional<std::string> findMatrixPicture(const std::string& root, std::string_view name) {
    // Relative names mean the working folder; the root folder as the help says.
    std::optional<std::string> path = findShowDataFile(workingFolder(), name);
    if (!path && !root.empty())
        path = findShowDataFile(root, name);
    return path;
}

std::string chainCommandLine(const std::string& executable, unsigned step, std::string_view show) {
    return executable + format(" /STEP=%u /SHOW=%.*s", step, int(show.size()), show.data());
}

ExtraCommands::ExtraCommands(ControlModel& controls, ShowStore& store, StepEffects& effects,
                             ExtraServices services)
    : m_controls(controls), m_store(store), m_effects(effects), m_services(std::move(services)) {}

void ExtraCommands::run(std::string_view text, Milliseconds now) {
    exec(text);
    veda(text);
    videoPlayer(text);
    chain(text); // may cut the text for the keywords after it
    superscan(text);
    matrix(text);
    fadersAndLoad(text, now);
    replay(text);
    switches(text);
    shutter(text);
}

void ExtraCommands::exec(std::string_view text) {
    if (!contains(text, "EXEC=") || !m_services.processes)
        return;
    // From the start of the text: everything after its first five characters.
    std::string command(text.substr(5));
    if (!command.empty())
        m_services.processes->startDetached(shellCommand(command));
}

void ExtraCommands::sendVeda(int device, std::string_view message) {
    if (!m_services.ipDevices)
        return;
    // The devices take exactly 20 characters of the show's encoding: a longer
    // text is never sent, and the log says so.
    if (std::optional<std::string> padded = vedaMessage(message, m_store.encoding()))
        m_services.ipDevices->sendToDevices(device, *padded);
    else if (m_services.notSent)
        m_services.notSent("VEDA=" + std::string(message),
                           translate("Extra commands", "longer than 20 characters"));
}

void ExtraCommands::veda(std::string_view text) {
    std::optional<size_t> p = after(text, "VEDA=");
    if (!p)
        return;
    std::string_view rest = text.substr(*p);
    if (rest.empty() || rest.front() != '[') {
        sendVeda(kAllDevices, rest);
        return;
    }
    size_t close = rest.find(']');
    if (close == std::string_view::npos)
        return;
    std::string_view message = rest.substr(close + 1);
    // [n;n;...]: each number where the walk stands; on after the next ";" until
    // there is none before the "]".
    size_t pos = 1;
    while (true) {
        sendVeda(leadingInt(rest.substr(pos, close - pos)), message);
        size_t semi = rest.find(';', pos);
        if (semi == std::string_view::npos || semi > close)
            return;
        pos = semi + 1;
    }
}

void ExtraCommands::videoPlayer(std::string_view text) {
    if (contains(text, "VP=") && m_services.videoPlayer)
        m_services.videoPlayer->send(text.substr(3));
}

void ExtraCommands::chain(std::string_view& text) {
    std::optional<ChainCommand> command = chainCommand(text);
    if (!command)
        return;
    text = text.substr(0, command->comma);
    int step = command->step;
    const std::string& show = command->show;
    if (step < 0)
        return;
    // An empty or outside name is refused there, with a message.
    if (m_services.beforeChain ? !m_services.beforeChain(show) : show.empty())
        return;

    std::string exe = m_services.executable ? m_services.executable() : executablePath();
    if (m_services.closeLine)
        m_services.closeLine();
    if (m_services.processes)
        m_services.processes->startDetached(
            {exe, format("/STEP=%u", unsigned(step)), "/SHOW=" + show});
    if (m_services.endMainWindow)
        m_services.endMainWindow(1);
}

void ExtraCommands::superscan(std::string_view text) {
    IpLink* link = m_services.ipLink;
    if (!link)
        return;
    if (contains(text, "SUPERSCAN1COLOR=OFF"))
        link->setColourReport(false);
    if (contains(text, "SUPERSCAN1COLOR=ON"))
        link->setColourReport(true);
    std::optional<size_t> p = after(text, "SUPERSCAN1=");
    if (!p)
        return;
    std::string_view command = cutArgument(text.substr(*p), kLinkTextMax);
    if (link->connected())
        link->send(command);
    else if (m_services.notSent)
        m_services.notSent("SUPERSCAN1=" + std::string(command),
                           translate("Extra commands", "\"Use IP devices\" is off"));
}

void ExtraCommands::matrix(std::string_view text) {
    std::optional<MatrixCommand> command = matrixCommand(text);
    if (!command)
        return;
    std::optional<std::string> path = findMatrixPicture(m_root, command->name);
    m_effects.matrix().start(command->name, path.value_or(std::string()), command->speedX,
                             command->speedY);
}

void ExtraCommands::fadersAndLoad(std::string_view text, Milliseconds now) {
    if (std::optional<size_t> p = after(text, "RANDOM="))
        m_effects.random().parse(text, *p);
    if (std::optional<size_t> p = after(text, "SOUNDACTIVE="))
        m_effects.soundActive().parse(text, *p);
    load(text, now);
}

void ExtraCommands::load(std::string_view text, Milliseconds now) {
    std::optional<LoadCommand> command = loadCommand(text);
    if (!command)
        return;
    std::optional<std::string> path = findRootDataFile(m_root, command->name);
    if (!path)
        return;
    m_effects.effect().load(m_store, *path, command->options, now,
                            [this](const StepRecord& r, bool writeMaster) {
                                m_effects.displayEffectRecord(r, writeMaster);
                            });
}

void ExtraCommands::replay(std::string_view text) {
    std::optional<std::string_view> name = replayCommand(text);
    if (!name || !m_services.startReplay)
        return;
    if (std::optional<std::string> path = findRootDataFile(m_root, *name))
        m_services.startReplay(*path);
}

void ExtraCommands::switches(std::string_view text) {
    for (const Switch& s : kSwitches) {
        if (contains(text, s.on))
            m_controls.setChecked(s.id, true);
        if (contains(text, s.off))
            m_controls.setChecked(s.id, false);
    }
}

void ExtraCommands::shutter(std::string_view text) {
    WindowLookup* windows = m_services.windows;
    if (!windows)
        return;
    if (contains(text, "SHUTTER=ON"))
        if (auto w = findShutter(*windows); w && !windows->isChecked(*w, kShutterToggle))
            windows->pressSpace(*w, kShutterToggle);
    if (contains(text, "SHUTTER=OFF"))
        if (auto w = findShutter(*windows); w && windows->isChecked(*w, kShutterToggle))
            windows->pressSpace(*w, kShutterToggle);
}

} // namespace orvane
