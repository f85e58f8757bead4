#include "console/stepspin.h"

#include "console/controlids.h"
#include "console/controlmodel.h"
#include "show/steprecord.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

void bindStepSpin(ControlModel& controls) {
    using namespace console;
    controls.setRange(kStepSpin, 0, kStepCount - 1);
    // An arrow moved the spin one step from the number it shows: the number follows.
    controls.on(ControlEvent::Scrolled, kStepSpin, [&controls] {
        controls.setText(kStepNumber, format("%d", controls.pos(kStepSpin)));
    });
    controls.observe([&controls](int id, ControlField field) {
        if (id == kStepNumber && field == ControlField::Text)
            controls.setPos(kStepSpin,
                            std::clamp(controls.textInt(kStepNumber), 0, kStepCount - 1));
    });
}

} // namespace orvane
