#include "startup/showcheck.h"

#include "console/console.h"
#include "core/boundedcall.h"
#include "dmx/dmxrecording.h"
#include "playback/activation.h"
#include "playback/effectplayback.h"
#include "playback/extracommands.h"
#include "playback/matrixpicture.h"
#include "show/effectfile.h"
#include "show/inifile.h"
#include "show/language.h"
#include "show/showfilelines.h"
#include "show/showfolders.h"
#include "show/showstore.h"
#include "show/showtable.h"
#include "show/textutil.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <functional>
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
        r.reason = S_ISDIR(st.st_mode) ? translate("Show check", "it is a folder")
                                       : translate("Show check", "not a regular file");
    else if (size_t(st.st_size) > kShowFileMaxBytes)
        r.reason = translate("Show check", "larger than 64 MB");
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
    std::string line = std::to_string(u.line);
    switch (u.fault) {
    case ShowLineFault::NoEquals:
        return fillIn(
            translate("Show check", "dmx.ini line %1: no \"=\" in %2: the line is skipped"),
            {line, quoted(u.text)});
    case ShowLineFault::BeforeSection:
        return fillIn(
            translate("Show check",
                      "dmx.ini line %1: %2 stands before any section: the line is skipped"),
            {line, quoted(u.text)});
    case ShowLineFault::OutsideSteps:
        return fillIn(translate("Show check", "dmx.ini line %1: %2 is in section %3, outside steps "
                                              "0-499: the entry is dropped"),
                      {line, quoted(u.text), u.section});
    }
    return fillIn(translate("Show check", "dmx.ini line %1"), {line});
}

// Why an effect file would not play as written, or nothing.
std::optional<std::string> effectProblem(ShowStore& store, const std::string& path) {
    FileRead file = readRegularFile(path);
    if (!file.data)
        return fillIn(translate("Show check", "cannot be read: %1"), {file.reason});
    ProfileFiles& files = store.profiles();
    if (!files.lookup(path, kEffectSection, kEffectLengthKey))
        return translate("Show check", "is no effect file: no \"len\" in section \"effect\"");
    uint32_t len = effectLength(store, path);
    if (len == 0)
        return translate("Show check", "holds no step (\"len\" is 0)");
    uint32_t played = std::min<uint32_t>(len, kEffectMaxRecords);
    for (uint32_t i = 0; i < played; ++i)
        if (!files.hasSection(path, std::to_string(kEffectFirstSection + int(i))))
            return fillIn(translate("Show check", "lacks its step %1 (section %2)"),
                          {std::to_string(i), std::to_string(kEffectFirstSection + i)});
    if (len > played)
        return fillIn(translate("Show check", "holds %1 steps: only the first %2 play"),
                      {std::to_string(len), std::to_string(kEffectMaxRecords)});
    return std::nullopt;
}

std::string noKeyText(int32_t code) {
    return fillIn(translate("Show check", "hot key code %1 names no key: the hot key does nothing"),
                  {std::to_string(code)});
}

ProblemKind unreadLineKind(ShowLineFault fault) {
    switch (fault) {
    case ShowLineFault::NoEquals:
        return ProblemKind::LineWithoutEquals;
    case ShowLineFault::BeforeSection:
        return ProblemKind::LineBeforeSection;
    case ShowLineFault::OutsideSteps:
        break;
    }
    return ProblemKind::LineOutsideSteps;
}

bool isTextOrTimeKey(std::string_view key) {
    for (const char* k :
         {"name", "ple", "extra", "soundnameatbegin", "masteront", "masterofft", "fadet"})
        if (equalsIgnoreCase(key, k))
            return true;
    return false;
}

// What a file that was not read in time is said to be, as the check's report
// words it: a picture is decoded, every other file is read.
enum class Overrun { NotRead, NotDecoded };

std::string overrunText(Overrun overrun) {
    std::string bound = boundText(kOutsideFileBound);
    if (overrun == Overrun::NotDecoded)
        return fillIn(translate("Show check", "not decoded within %1 (the decoder did not "
                                              "return: the file may be damaged)"),
                      {bound});
    return fillIn(translate("Show check",
                            "not read within %1 (the decoder did not return: the file may be "
                            "damaged)"),
                  {bound});
}

// A file the check reads is read on a thread of its own within the bound.
std::optional<std::string> bounded(std::function<std::optional<std::string>()> read,
                                   Overrun overrun) {
    Bounded<std::optional<std::string>> run = runBounded(kOutsideFileBound, std::move(read));
    if (run.end == BoundedEnd::Done)
        return *run.value;
    if (run.end == BoundedEnd::NoThread)
        return translate("Show check", "cannot be read: no thread could be started to read it");
    return fillIn(translate("Show check", "is left out: %1"), {overrunText(overrun)});
}

// Each read uses a store and profile files of its own: an abandoned read keeps them.
std::optional<std::string> boundedEffectProblem(const std::string& path) {
    return bounded(
        [path]() -> std::optional<std::string> {
            ProfileFiles profiles;
            ShowStore store(profiles);
            return effectProblem(store, path);
        },
        Overrun::NotRead);
}

std::optional<std::string> boundedReplayProblem(const std::string& path) {
    return bounded([path] { return replayFileProblem(path); }, Overrun::NotRead);
}

std::optional<std::string> pictureProblem(const std::string& path) {
    return bounded(
        [path]() -> std::optional<std::string> {
            MatrixPicture picture;
            if (picture.load(path))
                return std::nullopt;
            return translate("Show check", "is not a Windows bitmap that can be read");
        },
        Overrun::NotDecoded);
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
    void add(int step, ProblemKind kind, std::string text) {
        m_result.problems.push_back({step, std::move(text), kind});
    }
    void checkNumbers(int step);

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
            fillIn(translate("Show check", "%1 is not a show name: a show is one folder of %2"),
                   {quoted(m_show), m_root});
        return m_result;
    }
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        m_result.missingReason =
            fillIn(translate("Show check", "no show %1 in %2"), {quoted(m_show), m_root});
        return m_result;
    }
    m_result.showFound = true;
    previewSounds();
    if (readShowFile())
        for (int step = 0; step < kStepCount; ++step)
            checkStep(step);
    if (m_sounds)
        for (const LeftOutSound& s : m_sounds->leftOut)
            add(-1, ProblemKind::SoundLeftOut,
                fillIn(translate("Show check", "sound file %1 is left out of the bank: %2"),
                       {s.path, s.reason}));
    return m_result;
}

bool Checker::readShowFile() {
    std::string path = showFilePath(m_root, m_show);
    m_store.setShowFilePath(path);
    FileRead file = readRegularFile(path);
    if (!file.data) {
        if (file.error == ENOENT)
            add(-1, ProblemKind::ShowFile,
                fillIn(translate("Show check", "no show file %1: every step is empty"), {path}));
        else
            add(-1, ProblemKind::ShowFile,
                fillIn(translate("Show check", "show file %1 cannot be read: %2"),
                       {path, file.reason}));
        return false;
    }
    if (showFileLineEnds(*file.data) == LineEnds::LoneCr)
        add(-1, ProblemKind::LineEnds,
            fillIn(translate("Show check", "show file %1: its lines end in a lone CR: they are "
                                           "read as lines, and a save writes CR LF"),
                   {path}));
    // A line of a section outside the steps belongs to no step.
    for (const UnreadShowLine& u : unreadShowLines(*file.data))
        add(u.fault == ShowLineFault::OutsideSteps ? -1 : u.step, unreadLineKind(u.fault),
            unreadLineText(u));
    if (m_store.LoadShowFile(path) != 0) {
        add(-1, ProblemKind::ShowFile,
            fillIn(translate("Show check", "show file %1 cannot be read"), {path}));
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
            claimHotKey(*s.hotKey, -1,
                        fillIn(translate("Show check", "sound %1"), {quoted(s.name)}));
}

void Checker::claimHotKey(HotKey key, int step, const std::string& owner) {
    key.modifiers &= kModShift | kModCtrl | kModAlt;
    // A step's problem line already names the step.
    std::string subject = step >= 0 ? std::string() : owner + ": ";
    std::string text = hotKeyText(key);
    if (text.empty()) {
        add(step, ProblemKind::HotKey, subject + noKeyText(key.keycode));
        return;
    }
    if (key == kFadeInKey) {
        add(step, ProblemKind::HotKey,
            subject + fillIn(translate("Show check",
                                       "hot key %1 is the fade-in key: one of them does nothing"),
                             {text}));
        return;
    }
    if (isUndoRedoKey(key)) {
        add(step, ProblemKind::HotKey,
            subject + fillIn(translate("Show check",
                                       "hot key %1 undoes or redoes: the hot key does nothing"),
                             {text}));
        return;
    }
    auto [it, fresh] = m_hotKeys.try_emplace({key.keycode, key.modifiers}, owner);
    if (!fresh)
        add(step, ProblemKind::HotKey,
            subject +
                fillIn(translate("Show check",
                                 "hot key %1 is also the hot key of %2: only one of them works"),
                       {text, it->second}));
}

std::optional<std::string_view> Checker::stored(int step, std::string_view key) const {
    const std::string* v =
        m_store.table().find(step, std::to_string(step) + "$" + std::string(key));
    return v ? std::optional<std::string_view>(*v) : std::nullopt;
}

void Checker::checkStep(int step) {
    StepRecord r;
    m_store.LoadStep(step, r);
    checkNumbers(step);
    checkFadeTime(step);
    checkGoto(step, r);
    checkHotKey(step);
    checkStepSound(step, r);
    checkExtra(step, storedToConsole(r.extra));
}

// Every stored integer of the step: one past 32 bits is an error, never read
// as its low bits. Texts and times are not integers.
void Checker::checkNumbers(int step) {
    for (const ShowTable::Entry& e : m_store.table().entries(step)) {
        std::string_view key = e.key();
        size_t dollar = key.find('$');
        if (dollar == std::string_view::npos || key.substr(0, dollar) != std::to_string(step))
            continue;
        key.remove_prefix(dollar + 1);
        if (isTextOrTimeKey(key) || !leadingIntPast32Bits(e.value))
            continue;
        add(step, ProblemKind::NumberPast32Bits,
            fillIn(translate("Show check", "%1 %2 is past 32 bits: it is read as %3"),
                   {key, quoted(cutUtf8(e.value, 40)), std::to_string(leadingInt(e.value))}));
    }
}

void Checker::checkFadeTime(int step) {
    std::optional<std::string_view> text = stored(step, "fadet");
    if (!text)
        return;
    std::optional<double> seconds = storedSeconds(*text);
    if (!seconds)
        add(step, ProblemKind::FadeTime,
            fillIn(translate("Show check", "fade time %1 is not a number"), {quoted(*text)}));
    else if (*seconds < 0)
        add(step, ProblemKind::FadeTime,
            fillIn(translate("Show check", "fade time %1 is negative"), {*text}));
}

void Checker::checkGoto(int step, const StepRecord& r) {
    std::string_view written = stored(step, "gotostep").value_or("");
    if (r.gotoFlag == 0 || leadingIntPast32Bits(written))
        return; // past 32 bits: said with the other numbers
    int32_t target = leadingInt(written);
    if (target < 0 || target >= kStepCount)
        add(step, ProblemKind::Goto,
            fillIn(translate("Show check", "\"after fade goto\" step %1 is outside 0-499"),
                   {std::to_string(target)}));
}

void Checker::checkHotKey(int step) {
    // As "Validate HK" registers them: straight from the show table.
    std::string_view written = stored(step, "keycode").value_or("");
    int32_t code = leadingInt(written);
    if (code == 0 || leadingIntPast32Bits(written))
        return;
    if (code < 0 || code > 0xFF) {
        add(step, ProblemKind::HotKey, noKeyText(code));
        return;
    }
    int32_t modifiers = leadingInt(stored(step, "keymodifier").value_or(""));
    claimHotKey({uint16_t(code), uint16_t(modifiers & 0xFF)}, step,
                fillIn(translate("Show check", "step %1"), {std::to_string(step)}));
}

void Checker::checkStepSound(int step, const StepRecord& r) {
    if (!m_sounds || r.playatbegin == 0)
        return;
    for (const BankSound& s : m_sounds->sounds)
        if (soundEntryMatches(s.listText, r.soundnameatbegin))
            return;
    size_t n = m_sounds->sounds.size();
    add(step, ProblemKind::StepSound,
        fillIn(n == 1
                   ? translate("Show check",
                               "sound %1 matches no sound of the bank (%n sound in %2)", nullptr, 1)
                   : translate("Show check",
                               "sound %1 matches no sound of the bank (%n sounds in %2)", nullptr,
                               int(n)),
               {quoted(r.soundnameatbegin), soundFolder(m_root, m_show)}));
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
        add(step, ProblemKind::Chain,
            translate("Show check", "CHAIN= without \",step\" does nothing"));
        return;
    }
    std::string_view written = text.substr(chain->comma + 1);
    std::string stepText =
        leadingIntPast32Bits(written)
            ? std::string(written.substr(0, written.find_first_not_of("+-0123456789 \t")))
            : std::to_string(chain->step);
    text = text.substr(0, chain->comma);
    if (chain->step < 0)
        return; // a negative step only cuts the text
    if (text.substr(0, 6) != "CHAIN=") {
        add(step, ProblemKind::Chain,
            fillIn(translate("Show check",
                             "CHAIN= does not begin the Extra text: the show name is read as %1"),
                   {quoted(chain->show)}));
        return;
    }
    std::string_view name = chain->show;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
        add(step, ProblemKind::Chain,
            fillIn(translate("Show check", "CHAIN= show %1 is not a show name"), {quoted(name)}));
    else if (struct stat st{};
             ::stat(showFolder(m_root, name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        add(step, ProblemKind::Chain,
            fillIn(translate("Show check", "CHAIN= show %1 does not exist in %2"),
                   {quoted(name), m_root}));
    else if (chain->step >= kStepCount)
        add(step, ProblemKind::Chain,
            fillIn(translate("Show check",
                             "CHAIN= step %1 is outside 0-499: the show would start at step 0"),
                   {stepText}));
}

void Checker::checkMatrix(int step, std::string_view text) {
    std::optional<MatrixCommand> matrix = matrixCommand(text);
    if (!matrix)
        return;
    std::optional<std::string> path = findMatrixPicture(m_root, matrix->name);
    if (!path) {
        add(step, ProblemKind::Matrix,
            fillIn(translate("Show check",
                             "MATRIX= picture %1 is not in the working folder nor in %2"),
                   {quoted(matrix->name), m_root}));
        return;
    }
    if (std::optional<std::string> problem = pictureProblem(*path))
        add(step, ProblemKind::Matrix,
            fillIn(translate("Show check", "MATRIX= picture %1 %2"), {*path, *problem}));
}

void Checker::checkLoad(int step, std::string_view text) {
    std::optional<LoadCommand> load = loadCommand(text);
    if (!load)
        return;
    std::string keyword = load->options.loop ? "LOADLOOP=" : "LOAD=";
    std::optional<std::string> path = findRootDataFile(m_root, load->name);
    if (!path) {
        add(step, ProblemKind::Effect,
            fillIn(translate("Show check", "%1 effect file %2 is not in %3"),
                   {keyword, quoted(load->name), m_root}));
        return;
    }
    if (std::optional<std::string> problem = boundedEffectProblem(*path))
        add(step, ProblemKind::Effect,
            fillIn(translate("Show check", "%1 effect file %2 %3"), {keyword, *path, *problem}));
}

void Checker::checkReplay(int step, std::string_view text) {
    std::optional<std::string_view> name = replayCommand(text);
    if (!name)
        return;
    std::optional<std::string> path = findRootDataFile(m_root, *name);
    if (!path) {
        add(step, ProblemKind::Replay,
            fillIn(translate("Show check", "REPLAYDMX= file %1 is not in %2"),
                   {quoted(*name), m_root}));
        return;
    }
    if (std::optional<std::string> problem = boundedReplayProblem(*path))
        add(step, ProblemKind::Replay,
            fillIn(translate("Show check", "REPLAYDMX= file %1 %2"), {*path, *problem}));
}

} // namespace

namespace {

// The length of the UTF-8 character at s[i] that a terminal shows as it is,
// or 0: a control character (C0, DEL, C1) or a byte that starts no character.
size_t printableLength(std::string_view s, size_t i) {
    auto byte = [&](size_t k) { return uint8_t(s[k]); };
    uint8_t b = byte(i);
    if (b < 0x80)
        return b >= 0x20 && b != 0x7F ? 1 : 0;
    size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    uint32_t cp = n == 2 ? (b & 0x1Fu) << 6 | (byte(i + 1) & 0x3Fu) : 0x800;
    if (n == 3)
        cp = (b & 0x0Fu) << 12 | (byte(i + 1) & 0x3Fu) << 6 | (byte(i + 2) & 0x3Fu);
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && ((b == 0xF0 && byte(i + 1) < 0x90) || (b == 0xF4 && byte(i + 1) > 0x8F))))
        return 0;
    return cp >= 0x80 && cp <= 0x9F ? 0 : n;
}

std::string escaped(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (size_t n = printableLength(s, i)) {
            out.append(s.substr(i, n));
            i += n;
            continue;
        }
        out += format("\\x%02X", unsigned(uint8_t(s[i])));
        ++i;
    }
    return out;
}

} // namespace

std::string problemLine(const ShowProblem& problem) {
    if (problem.step < 0)
        return escaped(problem.text);
    return fillIn(translate("Show check", "step %1: %2"),
                  {std::to_string(problem.step), escaped(problem.text)});
}

std::string withGroupedCount(const std::string& text, size_t n) {
    std::string plain = std::to_string(n);
    std::string out = text;
    if (size_t at = out.find(plain); at != std::string::npos)
        out.replace(at, plain.size(), groupedCount(n));
    return out;
}

std::string groupedCount(size_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, " ");
    return digits;
}

std::vector<std::string> reportLines(const std::vector<ShowProblem>& problems, size_t perKind) {
    std::map<ProblemKind, size_t> total, shown;
    for (const ShowProblem& p : problems)
        ++total[p.kind];
    std::vector<std::string> lines;
    for (const ShowProblem& p : problems) {
        size_t& n = shown[p.kind];
        if (n++ >= perKind)
            continue;
        lines.push_back(problemLine(p));
        if (n != perKind || total[p.kind] <= perKind)
            continue;
        // (lupdate cannot read a subscript among translate's arguments.)
        size_t more = total[p.kind] - perKind;
        lines.push_back(withGroupedCount(
            translate("Show check", "… and %n more like it", nullptr, int(more)), more));
    }
    return lines;
}

ShowCheckResult checkShow(const std::string& root, const std::string& show,
                          const ShowCheckHooks& hooks) {
    return Checker(root, show, hooks).run();
}

} // namespace orvane
