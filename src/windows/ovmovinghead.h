#pragma once
// The moving-head window (dialog 115): the widgets of one moving-head
// controller. Created minimised at start-up; the operator restores it to work
// with the head. User-interface thread only.

#include "fixtures/movinghead.h"
#include "windows/fixturedialog.h"

namespace orvane {

class ovmovinghead : public FixtureDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 115;

    ovmovinghead(MovingHeadController& controller, QWidget* parent = nullptr);

    static std::vector<ControlDef> controlTable();
    static QSize clientSize();
};

} // namespace orvane
