#pragma once
// The main window (dialog 102): the operator's console. It owns the controls,
// the show session, the timers and the tool windows, runs the fixed
// initialisation order and the save and shutdown sequences.
// User-interface thread only.

#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "playback/controlmodel.h"
#include "playback/showsession.h"
#include "playback/startup.h"

#include <QDialog>
#include <QFont>
#include <map>
#include <memory>

class QTimer;

namespace orvane {

class Prompts;

class COrvaneDlg : public QDialog {
    Q_OBJECT
public:
    COrvaneDlg(ProfileFiles& profiles, Prompts& prompts, std::string root, std::string show,
               StartOptions options, QWidget* parent = nullptr);
    ~COrvaneDlg() override;

    ControlModel& controls() { return m_controls; }
    ShowSession& session() { return m_session; }
    QWidget* widget(int id) const;
    DmxOutput& dmx() { return *m_dmx; }

    // The initialisation order, run once before the window is shown.
    void OnInitDialog();
    // The store-and-leave commands.
    void Save();
    void Quit();
    // The teardown order; runs once, when the dialog has ended.
    void OnDestroy();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void bindHandlers();
    void resetStartControls();
    void setInitialColours();
    void setInitialVolumes();
    void startOutputs();
    void startTimers();
    void selectStartStep();
    void saveSequence();
    void registerStepHotkeys();
    void onTimer(int id);
    void bindDmxHandlers();
    bool startDmx();
    void pollDmxStatus();

    ProfileFiles& m_profiles;
    Prompts& m_prompts;
    std::string m_root;
    std::string m_show;
    StartOptions m_options;
    ControlModel m_controls;
    ListModel m_soundList;
    ListModel m_effectList;
    ShowSession m_session;
    std::unique_ptr<SerialLine> m_line;
    std::unique_ptr<DmxOutput> m_dmx;
    std::map<int, QWidget*> m_widgets;
    std::map<int, QTimer*> m_timers;
    QFont m_nameFont;
    QFont m_stepFont;
    bool m_destroyed = false;
    bool m_closing = false;
};

// The main window, for the parts of the program that must reach it.
COrvaneDlg* mainWindow();

} // namespace orvane
