#include "playback/remotestatepublisher.h"

#include "console/console.h"
#include "console/controlids.h"
#include "show/showstore.h"
#include "show/textencoding.h"
#include "show/textutil.h"

#include <algorithm>
#include <string>

namespace orvane {

namespace {

constexpr int kVolumeTop = 10000;
constexpr size_t kCaptionBytes = 1024; // what the step name field takes

} // namespace

RemoteStatePublisher::RemoteStatePublisher(const ControlModel& main, ShowStore& store,
                                           RemoteStateBoard& board)
    : m_main(main), m_store(store), m_board(board) {}

bool RemoteStatePublisher::update() {
    uint64_t changes = ControlModel::changes();
    if (m_any && changes == m_changesSeen && m_store.table().generation(m_next) == m_nextGeneration)
        return false;
    RemoteState state = current();
    m_any = true;
    m_changesSeen = changes;
    m_next = state.next;
    m_nextGeneration = m_store.table().generation(state.next);
    return m_board.publish(state);
}

RemoteState RemoteStatePublisher::current() {
    RemoteState s;
    s.step = std::clamp(m_main.textInt(console::kStepNumber), 0, kStepCount - 1);
    s.caption = withoutCarriageReturns(m_main.text(console::kStepName));
    s.next = nextStep();
    s.nextCaption = nextCaption(s.next);
    s.fading = m_main.checked(console::kFadeIn);
    s.fadeProgress = s.fading ? m_main.pos(console::kFadeProgress) / 100.0 : 1.0;
    s.master = (255 - m_main.pos(console::kMaster)) / 255.0;
    s.volume1 = double(kVolumeTop - m_main.pos(console::kMasterVolumeLeft)) / kVolumeTop;
    s.volume2 = double(kVolumeTop - m_main.pos(console::kMasterVolumeRight)) / kVolumeTop;
    s.output = m_main.text(console::kDmxInterface);
    return s;
}

// The step the show goes to when this one's fade ends; -1 past the last step.
int RemoteStatePublisher::nextStep() const {
    int next = m_main.checked(console::kGoto)
                   ? m_main.textInt(console::kGotoStep)
                   : std::clamp(m_main.textInt(console::kStepNumber), 0, kStepCount - 1) + 1;
    return next >= 0 && next < kStepCount ? next : -1;
}

const std::string& RemoteStatePublisher::nextCaption(int next) {
    uint64_t generation = next >= 0 ? m_store.table().generation(next) : 0;
    if (m_captionValid && m_captionStep == next && m_captionGeneration == generation)
        return m_caption;
    m_captionValid = true;
    m_captionStep = next;
    m_captionGeneration = generation;
    m_caption.clear();
    if (next < 0)
        return m_caption;
    std::string stored =
        m_store.ReadStoreString(std::to_string(next), "name", "", kCaptionBytes, "");
    m_caption = withoutCarriageReturns(storedToConsole(decodeStored(stored, m_store.encoding())));
    return m_caption;
}

} // namespace orvane
