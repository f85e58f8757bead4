#include "startup/showcheck.h"

#include "console/console.h"
#include "dmx/dmxrecording.h"
#include "playback/activation.h"
#include "playback/effectplayback.h"
#include "playback/extracommands.h"
#include "playback/matrixpicture.h"
#include "show/effectfile.h"
#include "show/inifile.h"
#include "show/showfilelines.h"
#include "show/showfolders.h"
#include "show/showstore.h"
#include "show/textutil.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

constexpr HotKey kFadeInKey{0x20, kModAlt}; // Alt+Space: the fade-in
// A show file larger than this is no show file (a full show is about 5 MB).
constexpr size_t kShowFileMaxBytes = size_t(64) << 20;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

struct FileRead {
    std::optional<std::string> data;
    int error = 0; // errno of a failed open or read
    std::string reason;
};

// The whole of a regular file; a FIFO or a device is refused, not waited for.
FileRead readRegularFile(const std::string& path) {
    FileRead r;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        r.error = errno;
        r.reason = std::strerror(r.error);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        r.reason = S_ISDIR(st.st_mode) ? "it is a folder" : "not a regular file";
    else if (size_t(st.st_size) > kShowFileMaxBytes)
        r.reason = "larger than 64 MB";
    else
        r.data.emplace();
    char buf[1 << 16];
    while (r.data) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            r.data->append(buf, size_t(n));
        else if (n == 0)
            break;
        else if (errno != EINTR) {
            r.error = errno;
            r.reason = std::strerror(r.error);
            r.data.reset();
        }
    }
    ::close(fd);
    return r;
}

// A stored time: a plain decimal number whatever the locale, "" meaning 0.
std::optional<double> storedSeconds(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty())
        return 0.0;
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string unreadLineText(const UnreadShowLine& u) {
    std::string where = format("dmx.ini line %zu: ", u.line);
    switch (u.fault) {
    case ShowLineFault::NoEquals:
        return where + "no \"=\" in " + quoted(u.text) + ": the line is skipped";
    case ShowLineFault::BeforeSection:
        return where + quoted(u.text) + " stands before any section: the line is skipped";
    case ShowLineFault::OutsideSteps:
        return where + quoted(u.text) + " is in section " + std::to_string(u.step) +
               ", outside steps 0-499: the entry is dropped";
    }
    return where;
}

// Why an effect file would not play as written, or nothing.
std::optional<std::string> effectProblem(ShowStore& store, const std::string& path) {
    FileRead file = readRegularFile(path);
    if (!file.data)
        return "cannot be read: " + file.reason;
    ProfileFiles& files = store.profiles();
    if (!files.lookup(path, kEffectSection, kEffectLengthKey))
        return std::string("is no effect file: no \"len\" in section \"effect\"");
    uint32_t len = effectLength(store, path);
    if (len == 0)
        return std::string("holds no step (\"len\" is 0)");
    uint32_t played = std::min<uint32_t>(len, kEffectMaxRecords);
    for (uint32_t i = 0; i < played; ++i)
        if (!files.hasSection(path, std::to_string(kEffectFirstSection + int(i))))
            return format("lacks its step %u (section %u)", i, kEffectFirstSection + i);
    if (len > played)
        return format("holds %u steps: only the first %d play", len, kEffectMaxRecords);
    return std::nullopt;
}

class Checker {
public:
    Checker(const std::string& root, const std::string& show, const ShowCheckHooks& hooks)
        : m_root(root), m_show(show), m_hooks(hooks) {}

    ShowCheckResult run();

private:
    bool readShowFile();
    void previewSounds();
    void checkStep(int step);
    void checkFadeTime(int step);
    void checkGoto(int step, const StepRecord& r);
    void checkHotKey(int step);
    void checkStepSound(int step, const StepRecord& r);
    void checkExtra(int step, std::string_view text);
    void checkChain(int step, std::string_view& text);
    void checkMatrix(int step, std::string_view text);
    void checkLoad(int step, std::string_view text);
    void checkReplay(int step, std::string_view text);
    void claimHotKey(HotKey key, int step, const std::string& owner);
    std::optional<std::string_view> stored(int step, std::string_view key) const;
    void add(int step, std::string text) { m_result.problems.push_back({step, std::move(text)}); }

    const std::string& m_root;
    const std::string& m_show;
    const ShowCheckHooks& m_hooks;
    ProfileFiles m_profiles;
    ShowStore m_store{m_profiles};
    std::optional<SoundBankPreview> m_sounds;
    std::map<std::pair<uint16_t, uint16_t>, std::string> m_hotKeys; // key -> its owner
    ShowCheckResult m_result;
};

ShowCheckResult Checker::run() {
    struct stat st {};
    std::string folder = showFolder(m_root, m_show);
    if (m_show.empty() || m_show == "." || m_show == ".." ||
        m_show.find('/') != std::string::npos) {
        m_result.missingReason =
            quoted(m_show) + " is not a show name: a show is one folder of " + m_root;
        return m_result;
    }
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        m_result.missingReason = "no show " + quoted(m_show) + " in " + m_root;
        return m_result;
    }
    m_result.showFound = true;
    previewSounds();
    if (readShowFile())
        for (int step = 0; step < kStepCount; ++step)
            checkStep(step);
    if (m_sounds)
        for (const LeftOutSound& s : m_sounds->leftOut)
            add(-1, "sound file " + s.path + " is left out of the bank: " + s.reason);
    return m_result;
}

bool Checker::readShowFile() {
    std::string path = showFilePath(m_root, m_show);
    m_store.setShowFilePath(path);
    FileRead file = readRegularFile(path);
    if (!file.data) {
        if (file.error == ENOENT)
            add(-1, "no show file " + path + ": every step is empty");
        else
            add(-1, "show file " + path + " cannot be read: " + file.reason);
        return false;
    }
    // A line of a section outside the steps belongs to no step.
    for (const UnreadShowLine& u : unreadShowLines(*file.data))
        add(u.fault == ShowLineFault::OutsideSteps ? -1 : u.step, unreadLineText(u));
    if (m_store.LoadShowFile(path) != 0) {
        add(-1, "show file " + path + " cannot be read");
        return false;
    }
    return true;
}

void Checker::previewSounds() {
    if (!m_hooks.previewSounds)
        return;
    m_sounds = m_hooks.previewSounds(soundFolder(m_root, m_show));
    // The sounds take their hot keys first, in list order: a later owner of
    // the same key is refused.
    for (const BankSound& s : m_sounds->sounds)
        if (s.hotKey)
            claimHotKey(*s.hotKey, -1, "sound " + quoted(s.name));
}

void Checker::claimHotKey(HotKey key, int step, const std::string& owner) {
    key.modifiers &= kModShift | kModCtrl | kModAlt;
    // A step's problem line already names the step.
    std::string subject = step >= 0 ? std::string() : owner + ": ";
    std::string text = hotKeyText(key);
    if (text.empty()) {
        add(step, subject + "hot key code " + std::to_string(key.keycode) +
                      " names no key: the hot key does nothing");
        return;
    }
    if (key == kFadeInKey) {
        add(step, subject + "hot key " + text + " is the fade-in key: one of them does nothing");
        return;
    }
    if (isUndoRedoKey(key)) {
        add(step, subject + "hot key " + text + " undoes or redoes: the hot key does nothing");
        return;
    }
    auto [it, fresh] = m_hotKeys.try_emplace({key.keycode, key.modifiers}, owner);
    if (!fresh)
        add(step, subject + "hot key " + text + " is also the hot key of " + it->second +
                      ": only one of them works");
}

std::optional<std::string_view> Checker::stored(int step, std::string_view key) const {
    const std::string* v =
        m_store.table().find(step, std::to_string(step) + "$" + std::string(key));
    return v ? std::optional<std::string_view>(*v) : std::nullopt;
}

void Checker::checkStep(int step) {
    StepRecord r;
    m_store.LoadStep(step, r);
    checkFadeTime(step);
    checkGoto(step, r);
    checkHotKey(step);
    checkStepSound(step, r);
    checkExtra(step, storedToConsole(r.extra));
}

void Checker::checkFadeTime(int step) {
    std::optional<std::string_view> text = stored(step, "fadet");
    if (!text)
        return;
    std::optional<double> seconds = storedSeconds(*text);
    if (!seconds)
        add(step, "fade time " + quoted(*text) + " is not a number");
    else if (*seconds < 0)
        add(step, "fade time " + std::string(*text) + " is negative");
}

void Checker::checkGoto(int step, const StepRecord& r) {
    if (r.gotoFlag == 0)
        return;
    int32_t target = leadingInt(stored(step, "gotostep").value_or(""));
    if (target < 0 || target >= kStepCount)
        add(step, format("\"after fade goto\" step %d is outside 0-499", target));
}

void Checker::checkHotKey(int step) {
    // As "Validate HK" registers them: straight from the show table.
    int32_t code = leadingInt(stored(step, "keycode").value_or(""));
    if (code == 0)
        return;
    if (code < 0 || code > 0xFF) {
        add(step,
            "hot key code " + std::to_string(code) + " names no key: the hot key does nothing");
        return;
    }
    int32_t modifiers = leadingInt(stored(step, "keymodifier").value_or(""));
    claimHotKey({uint16_t(code), uint16_t(modifiers & 0xFF)}, step, "step " + std::to_string(step));
}

void Checker::checkStepSound(int step, const StepRecord& r) {
    if (!m_sounds || r.playatbegin == 0)
        return;
    for (const BankSound& s : m_sounds->sounds)
        if (soundEntryMatches(s.listText, r.soundnameatbegin))
            return;
    size_t n = m_sounds->sounds.size();
    add(step, "sound " + quoted(r.soundnameatbegin) + " matches no sound of the bank (" +
                  std::to_string(n) + (n == 1 ? " sound in " : " sounds in ") +
                  soundFolder(m_root, m_show) + ")");
}

void Checker::checkExtra(int step, std::string_view text) {
    // In the commands' own order: CHAIN= cuts the text for the later ones.
    checkChain(step, text);
    checkMatrix(step, text);
    checkLoad(step, text);
    checkReplay(step, text);
}

void Checker::checkChain(int step, std::string_view& text) {
    if (text.find("CHAIN=") == std::string_view::npos)
        return;
    std::optional<ChainCommand> chain = chainCommand(text);
    if (!chain) {
        add(step, "CHAIN= without \",step\" does nothing");
        return;
    }
    text = text.substr(0, chain->comma);
    if (chain->step < 0)
        return; // a negative step only cuts the text
    if (text.substr(0, 6) != "CHAIN=") {
        add(step, "CHAIN= does not begin the Extra text: the show name is read as " +
                      quoted(chain->show));
        return;
    }
    std::string_view name = chain->show;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
        add(step, "CHAIN= show " + quoted(name) + " is not a show name");
    else if (struct stat st{};
             ::stat(showFolder(m_root, name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        add(step, "CHAIN= show " + quoted(name) + " does not exist in " + m_root);
    else if (chain->step >= kStepCount)
        add(step,
            format("CHAIN= step %d is outside 0-499: the show would start at step 0", chain->step));
}

void Checker::checkMatrix(int step, std::string_view text) {
    std::optional<MatrixCommand> matrix = matrixCommand(text);
    if (!matrix)
        return;
    std::optional<std::string> path = findMatrixPicture(m_root, matrix->name);
    if (!path) {
        add(step, "MATRIX= picture " + quoted(matrix->name) +
                      " is not in the working folder nor in " + m_root);
        return;
    }
    MatrixPicture picture;
    if (!picture.load(*path))
        add(step, "MATRIX= picture " + *path + " is not a Windows bitmap that can be read");
}

void Checker::checkLoad(int step, std::string_view text) {
    std::optional<LoadCommand> load = loadCommand(text);
    if (!load)
        return;
    std::string keyword = load->options.loop ? "LOADLOOP=" : "LOAD=";
    std::optional<std::string> path = findRootDataFile(m_root, load->name);
    if (!path) {
        add(step, keyword + " effect file " + quoted(load->name) + " is not in " + m_root);
        return;
    }
    if (std::optional<std::string> problem = effectProblem(m_store, *path))
        add(step, keyword + " effect file " + *path + " " + *problem);
}

void Checker::checkReplay(int step, std::string_view text) {
    std::optional<std::string_view> name = replayCommand(text);
    if (!name)
        return;
    std::optional<std::string> path = findRootDataFile(m_root, *name);
    if (!path) {
        add(step, "REPLAYDMX= file " + quoted(*name) + " is not in " + m_root);
        return;
    }
    if (std::optional<std::string> problem = replayFileProblem(*path))
        add(step, "REPLAYDMX= file " + *path + " " + *problem);
}

} // namespace

std::string problemLine(const ShowProblem& problem) {
    if (problem.step < 0)
        return problem.text;
    return "step " + std::to_string(problem.step) + ": " + problem.text;
}

ShowCheckResult checkShow(const std::string& root, const std::string& show,
                          const ShowCheckHooks& hooks) {
    return Checker(root, show, hooks).run();
}

} // namespace orvane
