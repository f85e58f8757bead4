#pragma once
// Makes the RemoteState the remote surfaces show out of the main window's
// controls and the show store, and publishes it to the board only when it
// changed: the step field and its caption, the step the show goes to next
// (the "after fade goto :" step when that is checked) with its stored caption,
// "Fade in" and the fade progress bar, the master fader, the two master
// volumes and the DMX interface indicator.
//
// Meant for every round of the playback tick: while no control changed since
// the last round and the next step's stored contents are the same, it reads
// nothing and costs a comparison of two counters. It changes no control, so
// it never keeps the resting ticks awake.
// User-interface thread only.

#include "console/controlmodel.h"
#include "playback/remotecommand.h"

#include <cstdint>

namespace orvane {

class ShowStore;

class RemoteStatePublisher {
public:
    RemoteStatePublisher(const ControlModel& main, ShowStore& store, RemoteStateBoard& board);

    // Publishes the state when it differs from the last one; true then.
    bool update();
    // The state as the controls give it now.
    RemoteState current();

private:
    int nextStep() const;
    const std::string& nextCaption(int next);

    const ControlModel& m_main;
    ShowStore& m_store;
    RemoteStateBoard& m_board;
    bool m_any = false;
    uint64_t m_changesSeen = 0;
    int m_next = -1;
    uint64_t m_nextGeneration = 0;
    bool m_captionValid = false;
    int m_captionStep = -1;
    uint64_t m_captionGeneration = 0;
    std::string m_caption;
};

} // namespace orvane
