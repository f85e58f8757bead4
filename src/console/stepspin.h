#pragma once
// The spin button beside the step number field (1001): its arrows move the
// step number by one inside 0-499, and it follows the number however the
// number changes. User-interface thread only.

namespace orvane {

class ControlModel;

// Registers the spin's handler and keeps its position on the step number.
void bindStepSpin(ControlModel& controls);

} // namespace orvane
