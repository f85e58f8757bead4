#pragma once
// What the scanner and moving-head windows have in common: widgets built from
// the controller's control model, the pad painted from the controller, the two
// window timers (20 ms and 50 ms) running the controller's tick, the mouse
// wheel, and a close command that does nothing (the operator cannot close a
// fixture window). The controller outlives its window. User-interface thread only.

#include "console/controldef.h"
#include "fixtures/fixturecontrols.h"
#include "fixtures/fixtureview.h"
#include "windows/sharedtick.h"

#include <QDialog>
#include <QImage>

#include <QRect>

#include <functional>
#include <map>
#include <span>
#include <vector>

namespace orvane {

// A control table from a controller's controls and their places; the pad is
// owner-drawn, the ids in readOnly are edits the operator cannot type into.
std::vector<ControlDef> fixtureControlTable(std::span<const FixtureControl> controls,
                                            const std::map<int, QRect>& geometry,
                                            std::initializer_list<int> readOnly = {});

class FixtureDialog : public QDialog {
    Q_OBJECT
public:
    struct Binding {
        ControlModel* controls = nullptr;
        std::function<void(FixtureView)> setView;
        std::function<void(int width, int height)> setPadSize;
        std::function<void(int timer)> tick;
        std::function<void(int delta)> wheel;
        std::function<PadPicture()> picture;
    };

    // The scanner and moving-head controllers offer the same hooks.
    template <typename Controller> static Binding bindingOf(Controller& c) {
        return {&c.controls(),
                [&c](FixtureView v) { c.setView(std::move(v)); },
                [&c](int w, int h) { c.setPadSize(w, h); },
                [&c](int timer) { c.tick(timer); },
                [&c](int delta) { c.wheel(delta); },
                [&c] { return c.padPicture(); }};
    }

    FixtureDialog(QWidget* parent, const QString& title, std::vector<ControlDef> table, QSize size,
                  const QImage& room, Binding binding);
    ~FixtureDialog() override;

    QWidget* widget(int id) const;
    QWidget* pad() const { return widget(4086); }
    // The pad as it is drawn now, for tests and benchmarks.
    QImage renderPad() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void wheelEvent(QWheelEvent* event) override;

private:
    FixtureView view();

    std::vector<ControlDef> m_table;
    const QImage& m_room;
    Binding m_binding;
    std::map<int, QWidget*> m_widgets;
    SharedTick m_fast, m_slow;
};

} // namespace orvane
