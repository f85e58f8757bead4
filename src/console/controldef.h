#pragma once
// One line of a dialog's control table: what a control is, its caption and where it
// sits. Geometry is absolute, in pixels of the dialog's client area. Constant data,
// safe from any thread.

#include "console/controlmodel.h"

#include <cstdint>
#include <span>

namespace orvane {

enum ControlFlag : uint32_t {
    kVertical = 1u << 0,   // slider or progress bar standing upright
    kInverted = 1u << 1,   // level fader: shows position 255 - level; the model keeps the position
    kHidden = 1u << 2,     // starts hidden
    kMultiline = 1u << 3,  // label or edit with several lines
    kReadOnly = 1u << 4,   // edit the operator cannot type into
    kPushLike = 1u << 5,   // check box drawn as a button that stays pressed
    kOwnerDrawn = 1u << 6, // the dialog paints it (swatches, colour buttons, custom areas)
    kCentred = 1u << 7,    // label text centred in its box
    kHugeFont = 1u << 8,   // 50-point font (the step number)
    kLargeFont = 1u << 9,  // 24-point font (the step name)
    kScrollBar = 1u << 10, // slider drawn as a scroll bar
};

// Static texts and frames that nothing addresses carry this id; they are not in the model.
constexpr int kNoId = -1;

struct ControlDef {
    int id;
    ControlKind kind;
    const char* caption; // exact text shown; empty for edits, sliders and bars
    int x, y, w, h;
    uint32_t flags;

    bool has(uint32_t flag) const { return (flags & flag) != 0; }
};

// The tool tip of a control, by id.
struct ControlTip {
    int id;
    const char* text;
};

// Declares in the model every control of a table that has an id: its kind, its
// caption and whether it starts hidden. The windows build their widgets from
// the same table; the logic works on the declared model without them.
void declareControls(ControlModel& model, std::span<const ControlDef> table);

} // namespace orvane
