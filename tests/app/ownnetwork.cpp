// Every test here runs in a network namespace of its own, with only a
// loopback: the main window starts the IP device server on TCP 5555 on all
// addresses, which must never be the machine's real network, and test
// processes running side by side must not share the port. Done before main(),
// while the process has a single thread, so every later thread is inside.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct OwnNetwork {
    OwnNetwork() {
        if (::unshare(CLONE_NEWNET) != 0) {
            std::fprintf(stderr, "test_app: no network namespace of its own (%s)\n",
                         std::strerror(errno));
            return;
        }
        int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq ifr{};
        std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
        if (::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0) {
            ifr.ifr_flags |= IFF_UP;
            ::ioctl(fd, SIOCSIFFLAGS, &ifr);
        }
        ::close(fd);
    }
};

const OwnNetwork ownNetwork;

} // namespace
