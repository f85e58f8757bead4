#include "app/toolwindows.h"

#include "app/orvanedlg.h"
#include "playback/controlids.h"
#include "windows/easyshowbuilder.h"

#include <QGuiApplication>

namespace orvane {

ToolWindows::ToolWindows(COrvaneDlg& main) : m_main(main) {}

ToolWindows::~ToolWindows() {
    destroyAll();
}

void ToolWindows::createFixtureWindows() {}

void ToolWindows::createShowTime() {}

void ToolWindows::destroyAll() {}

void ToolWindows::bindEasyShowBuilder() {
    m_main.controls().on(ControlEvent::Clicked, console::kEasyShowBuilder,
                         [this] { openEasyShowBuilder(); });
}

void ToolWindows::openEasyShowBuilder() {
    ShowSession& session = m_main.session();
    session.CommitCurrentStep();
    BuilderHooks hooks;
    hooks.editingFromBuilder = [this](bool on) { m_main.activation().setEditingFromBuilder(on); };
    hooks.fadeIn = [this] { m_main.mainTimer().startFadeIn(m_main.now()); };
    hooks.leftButtonDown = [] { return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0; };
    {
        easyshowbuilder builder(session, m_main.controls(), std::move(hooks), &m_main);
        builder.exec();
    }
    session.ShowCurrentStep(false);
}

} // namespace orvane
