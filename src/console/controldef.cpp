#include "console/controldef.h"

namespace orvane {

void declareControls(ControlModel& model, std::span<const ControlDef> table) {
    for (const ControlDef& c : table) {
        if (c.id == kNoId || model.has(c.id))
            continue;
        model.add(c.id, c.kind, c.caption);
        model.setVisible(c.id, !c.has(kHidden));
    }
}

} // namespace orvane
