#pragma once
// Ends the rest of the user-interface thread's idle ticks from any thread:
// the output thread, the pipe and device servers. The user-interface thread
// watches one event descriptor, made once and kept for the life of the
// process (so a late poke never writes to a descriptor reused for something
// else), and says when its ticks rest, or are about to: the flag is raised
// before they are asked whether they are idle, so a thread that changes what
// they read and then pokes is never missed. A poke while nothing rests costs
// one atomic read.

namespace orvane::uiwake {

// User-interface thread. The descriptor to watch, -1 when none could be made
// (then nothing may rest).
int descriptor();
void drain();
void setResting(bool resting);

// Any thread. Never blocks, never allocates.
void poke();

} // namespace orvane::uiwake
