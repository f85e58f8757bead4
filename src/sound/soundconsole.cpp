#include "sound/soundconsole.h"

#include "playback/activation.h"
#include "show/language.h"
#include "show/textutil.h"
#include "sound/samples.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {

constexpr int kVolumeTop = 10000;
// The meters read the sound of about one tick of the main timer.
constexpr uint32_t kMeterWindowsPerSecond = 50;

struct LockedPair {
    int a, b, lock;
};
constexpr LockedPair kLockedPairs[] = {
    {console::kAudioLeft, console::kAudioRight, console::kSoundLocked},
    {console::kMasterVolumeLeft, console::kMasterVolumeRight, console::kVolumeLocked}};

// Rounds p to the nearer whole block; exactly half a block rounds down.
uint32_t snapToBlock(uint32_t p, uint32_t block) {
    if (block == 0)
        return p;
    uint32_t r = p % block;
    return r <= block / 2 ? p - r : p + (block - r);
}

int toDevice(int volume) {
    return volume * 65535 / kVolumeTop;
}

} // namespace

SoundConsole::SoundConsole(ControlModel& controls, ListModel& list, SoundConsoleOptions options)
    : m_controls(controls), m_list(list), m_options(std::move(options)),
      m_loader(m_options.soundsArrived) {}

SoundConsole::~SoundConsole() {
    m_loader.stop();
}

void SoundConsole::bind() {
    m_controls.on(ControlEvent::Clicked, console::kPlay, [this] { play(); });
    m_controls.on(ControlEvent::Clicked, console::kStop, [this] { stop(); });
    m_controls.on(ControlEvent::Clicked, console::kPause, [this] { pauseClicked(); });
    m_controls.on(ControlEvent::Clicked, console::kSoundReload, [this] { loadBank(); });
    m_controls.on(ControlEvent::Released, console::kPosition, [this] { seek(); });
    m_controls.on(ControlEvent::DoubleClicked, console::kSoundList, [this] { doubleClick(); });
    m_controls.observe([this](int id, ControlField field) {
        if (field == ControlField::Pos)
            coupleLocked(id);
    });
}

void SoundConsole::loadBank() {
    m_loader.stop();
    m_bank.clear();
    m_pendingPlay.reset();
    m_loading = true;
    buildList();
    m_loader.start(m_options.folder, m_options.decoding);
}

void SoundConsole::takeArrivals() {
    using Kind = SoundLoadEvent::Kind;
    for (SoundLoadEvent& e : m_loader.take()) {
        switch (e.kind) {
        case Kind::Reading:
            m_controls.setText(
                console::kStepInfo,
                fillIn(translate("Sound", "Loading the sound file %1..."), {e.name}));
            if (m_options.repaintNow)
                m_options.repaintNow();
            break;
        case Kind::Loaded:
            arrived(std::move(*e.sound));
            break;
        case Kind::LeftOut:
            std::fprintf(
                stderr, "orvane: %s\n",
                fillIn(translate("Sound", "sound file %1 left out: %2"), {e.name, e.reason})
                    .c_str());
            if (m_options.logLine)
                m_options.logLine(
                    fillIn(translate("Sound", "Sound file %1 left out: %2"), {e.name, e.reason}));
            break;
        case Kind::Finished:
            m_loading = false;
            m_pendingPlay.reset();
            m_controls.setText(console::kStepInfo, "");
            break;
        }
    }
}

// The sound takes the next slot and list entry; the list is not rebuilt, so
// the operator's selection stays where it is.
void SoundConsole::arrived(Sound&& sound) {
    std::string text = soundListText(sound);
    std::optional<HotKey> key = soundHotkeyKey(sound.name);
    int slot = m_bank.add(std::move(sound));
    int position = m_list.add(text, slot);
    if (key) {
        m_hotkeys.push_back({kSoundHotkeyBase + uint32_t(position), *key});
        if (m_options.hotkeysChanged)
            m_options.hotkeysChanged(m_hotkeys);
    }
    if (m_pendingPlay && soundEntryMatches(text, *m_pendingPlay)) {
        m_pendingPlay.reset();
        m_list.select(position);
        play();
    }
}

bool SoundConsole::playWhenLoaded(const std::string& name) {
    if (!m_loading)
        return false;
    m_pendingPlay = name;
    return true;
}

void SoundConsole::buildList() {
    m_hotkeys = m_bank.fillList(m_list);
    if (m_options.hotkeysChanged)
        m_options.hotkeysChanged(m_hotkeys);
}

void SoundConsole::play() {
    int entry = m_list.selected();
    if (!m_controls.enabled(console::kPlay) || entry < 0)
        return;
    const Sound* sound = m_bank.slot(m_list.item(entry).data);
    if (!sound)
        return;
    if (m_out.isOpen()) {
        setMeters(0, 0);
        m_out.close();
    }
    Playing p;
    p.data = sound->data;
    p.dataStart = 0;
    p.dataBytes = sound->dataBytes();
    p.format = sound->format;
    p.length = sound->playLength();
    p.loops = sound->loops;
    m_playing = p;
    m_controls.setRange(console::kPositionBar, 0, int(p.length));
    m_controls.setRange(console::kPosition, 0, int(p.length));
    m_out.open(p.data, p.dataStart, p.length, p.format);
}

void SoundConsole::stop() {
    m_pendingPlay.reset();
    if (m_options.stopRecording)
        m_options.stopRecording();
    if (!m_controls.enabled(console::kStop))
        return;
    m_controls.setPos(console::kPositionBar, 0);
    m_controls.setPos(console::kPosition, 0);
    setMeters(0, 0);
    m_out.close();
    m_controls.setChecked(console::kPause, false);
    m_playing = {};
}

void SoundConsole::pauseClicked() {
    if (m_out.isOpen())
        m_out.pause(m_controls.checked(console::kPause));
}

void SoundConsole::setPaused(bool paused) {
    if (m_out.isOpen())
        m_out.pause(paused);
}

void SoundConsole::seek() {
    if (!m_out.isOpen())
        return;
    uint32_t p = snapToBlock(uint32_t(std::max(0, m_controls.pos(console::kPosition))),
                             m_playing.format.blockAlign);
    if (p >= m_playing.length) {
        stop();
        return;
    }
    m_out.queue(p, m_playing.length - p);
    m_out.pause(m_controls.checked(console::kPause));
    m_playing.base = p;
}

void SoundConsole::doubleClick() {
    if (playingPosition() != 0) {
        stop();
        setPlayButtons(false);
    }
    play();
}

uint32_t SoundConsole::playingPosition() const {
    return m_out.isOpen() ? m_playing.base + m_out.position() : 0;
}

SoundTick SoundConsole::tick() {
    SoundTick out;
    if (m_out.failed())
        forgetFailedDevice();
    std::string text;
    uint32_t position = playingPosition();
    if (m_out.isOpen()) {
        m_controls.setPos(console::kPositionBar, int(position));
        if (!(m_options.leftButtonDown && m_options.leftButtonDown()))
            m_controls.setPos(console::kPosition, int(position));
        MeterLevels m = showMeters(position);
        out.soundLevel = (m.left + m.right) * 255 / kMeterTop;
        text = timeText(position);
    }
    setPlayButtons(position != 0);
    if (m_out.isOpen() && endOfSound(position))
        out.advance = m_controls.checked(console::kNextOnStop);
    m_controls.setText(console::kTimeText, text);
    return out;
}

void SoundConsole::forgetFailedDevice() {
    // The failure was logged when the device would not open; nothing plays.
    setMeters(0, 0);
    m_out.close();
    m_playing = {};
}

MeterLevels SoundConsole::showMeters(uint32_t position) {
    MeterLevels m;
    if (position > 0) {
        uint32_t window = m_playing.format.avgBytesPerSec / kMeterWindowsPerSecond;
        m = peakLevels(m_playing.data->data() + m_playing.dataStart, m_playing.dataBytes, position,
                       window, m_playing.format);
    }
    setMeters(m.left, m.right);
    return m;
}

std::string SoundConsole::timeText(uint32_t position) const {
    uint32_t rate = m_playing.format.avgBytesPerSec;
    return durationText(bytesToMs(position, rate)) + "/ " +
           durationText(bytesToMs(m_playing.length, rate)) +
           format("- %u/%u", m_playing.playCount, m_playing.loops);
}

// True when the last loop ended and the sound stopped.
bool SoundConsole::endOfSound(uint32_t position) {
    uint32_t rate = m_playing.format.avgBytesPerSec;
    if (bytesToMs(position, rate) != bytesToMs(m_playing.length, rate))
        return false;
    uint32_t before = m_playing.playCount++;
    if (before >= m_playing.loops) {
        stop();
        return true;
    }
    setMeters(0, 0);
    m_playing.base = 0;
    m_out.queue(0, m_playing.length);
    return false;
}

void SoundConsole::setMeters(int left, int right) {
    m_controls.setPos(console::kMeterLeft, left);
    m_controls.setPos(console::kMeterRight, right);
}

void SoundConsole::setPlayButtons(bool playing) {
    for (int id : {console::kPlay, console::kPlayRecord, console::kPlayReplay})
        m_controls.setEnabled(id, !playing);
    m_controls.setEnabled(console::kPosition, playing);
    m_controls.setEnabled(console::kPause, playing);
}

void SoundConsole::coupleLocked(int id) {
    for (const LockedPair& p : kLockedPairs) {
        if ((id == p.a || id == p.b) && m_controls.checked(p.lock))
            m_controls.setPos(id == p.a ? p.b : p.a, m_controls.pos(id));
    }
}

std::pair<int, int> SoundConsole::sliderVolumes() const {
    auto factor = [this](int id) { return kVolumeTop - m_controls.pos(id); };
    return {factor(console::kAudioLeft) * factor(console::kMasterVolumeLeft) / kVolumeTop,
            factor(console::kAudioRight) * factor(console::kMasterVolumeRight) / kVolumeTop};
}

void SoundConsole::sendVolume(int left, int right) {
    m_lastLeft = left;
    m_lastRight = right;
    m_out.setVolume(packVolume(uint32_t(toDevice(left)), uint32_t(toDevice(right))));
}

void SoundConsole::updateVolumes() {
    auto [left, right] = sliderVolumes();
    if (!m_controls.checked(console::kFadeIn)) {
        m_controls.setPos(console::kVolumeBarLeft, left);
        m_controls.setPos(console::kVolumeBarRight, right);
    }
    bool fading = m_controls.pos(console::kFade) != 0 && !m_controls.checked(console::kRudeFade);
    if (!fading && (left != m_lastLeft || right != m_lastRight))
        sendVolume(left, right);
}

void SoundConsole::crossFadeVolume(const StepRecord& next) {
    int f = m_controls.pos(console::kFade);
    if (f == 0 || m_controls.checked(console::kRudeFade) || !m_controls.checked(console::kFadeIn))
        return;
    auto [left, right] = sliderVolumes();
    if (next.stepsound) {
        int g = 256 - f;
        auto target = [](int sound) { return kVolumeTop - std::clamp(sound, 0, kVolumeTop); };
        left = (g * left + f * target(next.sound1)) / 256;
        right = (g * right + f * target(next.sound2)) / 256;
    }
    if (left == m_lastLeft && right == m_lastRight)
        return;
    sendVolume(left, right);
    m_controls.setPos(console::kVolumeBarLeft, left);
    m_controls.setPos(console::kVolumeBarRight, right);
}

void SoundConsole::applyStartupVolume() {
    uint32_t volume = m_out.volume();
    int left = int((volume & 0xFFFF) * kVolumeTop / 65535);
    int right = int((volume >> 16) * kVolumeTop / 65535);
    m_controls.setPos(console::kAudioLeft, kVolumeTop - left);
    m_controls.setPos(console::kAudioRight, kVolumeTop - right);
    m_controls.setPos(console::kVolumeBarLeft, left);
    m_controls.setPos(console::kVolumeBarRight, right);
}

void SoundConsole::shutdown() {
    m_loader.stop();
    m_loading = false;
    setMeters(0, 0);
    m_out.close();
    m_playing = {};
    m_bank.clear();
}

} // namespace orvane
