#pragma once
// Builds a dialog's widgets from its control table and binds each one to the
// dialog's control model, both ways. User-interface thread only.
//
// Operator -> model: a slider move is model.scroll(id, pos) (and Released when the
// operator lets go), a button or check box click is model.click(id) (the model ends
// with the check state the operator sees, Clicked is raised once), typing is
// model.setText(id, text), a spin arrow is model.scroll(id, pos +/- 1) inside the
// range, a list selection is ListModel::select plus SelectionChanged, a list
// double-click is model.doubleClick(id). A combo box choice sets the model text to
// the item and selects it before SelectionChanged; typing in it clears the selection.
// Model -> widget: position, range, check mark, text, enabled, visible and colour
// are mirrored with the widget's signals blocked, so nothing loops back.
//
// Text conventions: multi-line edits keep CR LF line ends in the model; the hot-key
// field holds one key combination in QKeySequence portable text ("Ctrl+Shift+A");
// a combo box shows the model text in its edit field.
// Vertical sliders show position 0 at the top, as the platform trackbar does.
// No push button is a default button: Enter in a field presses nothing.

#include "console/controldef.h"
#include "console/controlmodel.h"

#include <QColor>
#include <QRect>

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

class QPainter;
class QWidget;

namespace orvane {

// Draws an owner-drawn area (monitor bar, stage preview, picture) into its client rect.
using PaintHook = std::function<void(QPainter&, QRect)>;

// 0x00BBGGRR as the dialogs store colours.
QColor toQColor(uint32_t colour);

// Creates one widget per table line as a child of parent, at its absolute geometry
// (group boxes drawn behind the controls they frame), binds every control with an
// id to the model, and lists and combo boxes to their ListModel in lists. Controls
// missing from the model are added with their kind and caption. Returns the widgets
// by id. The binding lives as long as parent; it is cut when parent starts being
// destroyed (before its children go) or by unbindDialog. Each widget's table place
// and font are its design ones: a DialogScale on parent scales them (dialogscale.h).
std::map<int, QWidget*> buildDialog(QWidget* parent, std::span<const ControlDef> table,
                                    ControlModel& model,
                                    const std::map<int, ListModel*>& lists = {});

// Cuts every binding buildDialog made on parent: afterwards widgets and models no
// longer reach each other. For a dialog whose model dies before its widgets.
void unbindDialog(QWidget* parent);

// Owner-drawn areas (Custom) paint through this hook instead of plain black. The
// hook paints in design units: it gets the client rectangle at scale 1 and a
// painter that takes it to the area's present size. Returns false when the widget
// is not such an area.
bool setPaintHook(QWidget* area, PaintHook hook);

// The tool tip of an owner-drawn area at a point of its client rect, both in
// design units as the paint hook sees them (the DMX monitor names the cell under
// the mouse); empty for none. Returns false when the widget is not such an area.
using ToolTipHook = std::function<std::string(QPoint at, QRect area)>;
bool setToolTipHook(QWidget* area, ToolTipHook hook);

// Gives each control of the table its tool tip.
void setToolTips(const std::map<int, QWidget*>& widgets, std::span<const ControlTip> tips);

// Appends one line to a rich log control in the given 0x00BBGGRR colour.
void appendLogLine(QWidget* log, std::string_view line, uint32_t colour);

} // namespace orvane
