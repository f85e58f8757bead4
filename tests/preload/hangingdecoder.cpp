// Preloaded into the real program, this stands in for libsndfile's open from
// memory and never returns: a decoder stuck on a damaged file, whatever the
// file holds.

#include <unistd.h>

extern "C" void* sf_open_virtual(void*, int, void*, void*) {
    for (;;)
        ::pause();
}
