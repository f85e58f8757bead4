#pragma once
// Top-level windows of other programs, found by their exact title (the external
// shutter program of SHUTTER=). User-interface thread only.

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvane {

// A window found by a lookup; only meaningful to the lookup that made it.
struct ForeignWindow {
    uint64_t handle = 0;
};

class WindowLookup {
public:
    virtual ~WindowLookup() = default;
    virtual std::optional<ForeignWindow> findTopLevel(std::string_view title) = 0;
    // The check state of control `id` of that window.
    virtual bool isChecked(ForeignWindow window, int id) = 0;
    // A key-down and a key-up of the space bar sent to control `id`.
    virtual void pressSpace(ForeignWindow window, int id) = 0;
};

// The desktop offers no way to reach another program's controls, so nothing is
// ever found.
class NullWindowLookup : public WindowLookup {
public:
    std::optional<ForeignWindow> findTopLevel(std::string_view) override { return std::nullopt; }
    bool isChecked(ForeignWindow, int) override { return false; }
    void pressSpace(ForeignWindow, int) override {}
};

} // namespace orvane
