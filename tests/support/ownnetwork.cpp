#include "support/ownnetwork.h"

#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane::test {

bool enterOwnNetwork(std::string* error) {
    if (::unshare(CLONE_NEWNET) != 0) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
    if (up) {
        ifr.ifr_flags |= IFF_UP;
        up = ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
    }
    if (!up && error)
        *error = std::string("loopback: ") + std::strerror(errno);
    ::close(fd);
    return up;
}

} // namespace orvane::test
