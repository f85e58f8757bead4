#pragma once
// The scanner window (dialog 108): the widgets of one scanner controller. Created
// hidden at start-up; it lives as an invisible controller whose timers keep the
// keypad and the joystick working. User-interface thread only.

#include "fixtures/scanner.h"
#include "windows/fixturedialog.h"

namespace orvane {

class CovscanDlg : public FixtureDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 108;

    CovscanDlg(ScannerController& controller, QWidget* parent = nullptr);

    // The control table: every control of the controller's model with its place.
    static std::vector<ControlDef> controlTable();
    static QSize clientSize();
};

} // namespace orvane
