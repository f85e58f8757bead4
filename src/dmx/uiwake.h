#pragma once
// Wakes the user-interface thread's resting ticks from any thread: the output
// thread, the pipe and device servers. A thread pokes after changing what the
// ticks read.
//
// Every poke is counted. Each tick notes the count before it reads anything;
// once a wake-up's ticks are done, the thread raises the resting flag and only
// rests if every tick has run since the count last moved (ticks of different
// periods are not all due on one wake-up). A poke that comes after the flag
// went up also writes to an event descriptor that the thread watches: so a
// poke is never lost, whether it falls before, during or after the ticks'
// reading.
// The descriptor is made once and kept for the life of the process, so a late
// poke never writes to a descriptor reused for something else.

#include <cstdint>

namespace orvane::uiwake {

// User-interface thread. The descriptor to watch, -1 when none could be made
// (then nothing may rest).
int descriptor();
void drain();
void setResting(bool resting);
uint64_t pokes();

// Any thread. Never blocks, never allocates.
void poke();

} // namespace orvane::uiwake
