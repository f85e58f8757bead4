#pragma once
// Window sizes that outlive the run: a window's size and whether it was
// maximised, kept in the user profile (section "window": "<name>width",
// "<name>height", "<name>maximized"). User-interface thread only.

#include <QSize>

#include <optional>
#include <string_view>

class QWidget;

namespace orvane {

class ProfileFiles;

struct WindowPlacement {
    QSize size;
    bool maximised = false;
};

// The smallest remembered size taken back; a smaller one is not a size an
// operator chose.
constexpr int kSmallestRemembered = 200;

// What the profile holds for window `name`; nothing when it holds no usable size.
std::optional<WindowPlacement> rememberedPlacement(ProfileFiles& profiles, std::string_view name);
// Keeps the window's size as it is when not maximised, and whether it is.
void rememberPlacement(ProfileFiles& profiles, std::string_view name, const QWidget* window);

// The client size a window opens at in `room`: the remembered size when there
// is one (cut to the room), else its design size fitted to the room, never
// below floor x design.
QSize openingSize(const std::optional<WindowPlacement>& remembered, QSize design, QSize room,
                  double floor);

} // namespace orvane
