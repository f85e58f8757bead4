#include "windows/windowmemory.h"

#include "show/inifile.h"
#include "show/showfolders.h"
#include "windows/dialogscale.h"

#include <QWidget>

#include <string>

namespace orvane {

namespace {

constexpr const char* kSection = "window";
std::string key(std::string_view name, const char* what) {
    return std::string(name) + what;
}

} // namespace

std::optional<WindowPlacement> rememberedPlacement(ProfileFiles& profiles, std::string_view name) {
    const std::string path = userProfilePath();
    int width = profiles.readInt(path, kSection, key(name, "width"), 0);
    int height = profiles.readInt(path, kSection, key(name, "height"), 0);
    if (width < kSmallestRemembered || height < kSmallestRemembered)
        return std::nullopt;
    bool maximised = profiles.readInt(path, kSection, key(name, "maximized"), 0) != 0;
    return WindowPlacement{QSize(width, height), maximised};
}

void rememberPlacement(ProfileFiles& profiles, std::string_view name, const QWidget* window) {
    const std::string path = userProfilePath();
    // A maximised or full-screen window keeps the size it goes back to.
    const bool maximised = window->isMaximized();
    const QSize size =
        maximised || window->isFullScreen() ? window->normalGeometry().size() : window->size();
    profiles.beginBatch();
    if (size.width() >= kSmallestRemembered && size.height() >= kSmallestRemembered) {
        profiles.writeString(path, kSection, key(name, "width"), std::to_string(size.width()));
        profiles.writeString(path, kSection, key(name, "height"), std::to_string(size.height()));
    }
    profiles.writeString(path, kSection, key(name, "maximized"), maximised ? "1" : "0");
    profiles.endBatch();
}

QSize openingSize(const std::optional<WindowPlacement>& remembered, QSize design, QSize room,
                  double floor) {
    if (remembered)
        return remembered->size.boundedTo(room.expandedTo(design * floor));
    return fittedSize(design, room, floor);
}

} // namespace orvane
