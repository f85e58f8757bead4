#pragma once
// A virtual X server (Xvfb, 1920 x 1080) for process tests that work the real
// program's windows as a person at the desk does: clicks and keys go in through
// xdotool. The server listens on no network socket and ends with the object.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace orvane::test {

class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Xvfb and xdotool are installed.
    static bool available();

    bool ok() const { return !m_display.empty(); }
    const std::string& display() const { return m_display; } // ":N"

    // The first window whose title matches the pattern (a regular expression),
    // once it is mapped; nothing after timeoutMs.
    std::optional<std::string> waitForWindow(const std::string& titlePattern,
                                             int timeoutMs = 10000) const;
    // Whether a window with a matching title is mapped now.
    bool visible(const std::string& titlePattern) const;
    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
    };
    // Where the window is on the screen now.
    std::optional<Geometry> geometry(const std::string& window) const;
    // A left click at (x, y) of the window's client area.
    bool click(const std::string& window, int x, int y) const;
    // A key (X keysym name: "Home", "Next", "KP_1") sent to the window.
    bool key(const std::string& window, const std::string& keysym) const;

private:
    std::optional<std::string> xdotool(const std::vector<std::string>& args) const;

    pid_t m_server = -1;
    std::string m_display;
};

} // namespace orvane::test
