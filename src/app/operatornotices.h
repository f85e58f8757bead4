#pragma once
// The main window's prompts, so that no message box ever holds the show. While
// the window starts (until DMX output and every timer run), a message opens no
// box: it is said in the window (status line and log) and on stderr, since a
// box waiting for OK there would keep the line dark and the 2 s retry of a
// missing interface stopped. Afterwards messages are boxes as before, and the
// output's own messages (the line failed to open, OLA) are shown only once the
// handler that met them has returned, so whatever it started (the interface
// watch, the retry) already runs while the box is open. Questions always go
// to the prompts it wraps. User-interface thread only.

#include "show/prompts.h"

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QObject;

namespace orvane {

class OperatorNotices : public Prompts {
public:
    explicit OperatorNotices(Prompts& prompts) : m_prompts(prompts) {}

    // Where notices go in the window; what was said before comes out at once.
    // context: the window, which posted boxes wait for.
    void setWindow(QObject* context, std::function<void(const std::string& text)> show);
    // The window runs: messages become boxes from now on.
    void startupOver() { m_starting = false; }
    bool starting() const { return m_starting; }

    // A message that may be shown later: a notice while starting, else a box
    // posted to open once the caller has returned.
    void messageLater(std::string_view title, std::string_view text);

    void message(std::string_view title, std::string_view text, PromptIcon icon) override;
    bool askYesNo(std::string_view title, std::string_view text) override;
    std::optional<std::string> askText(std::string_view title, std::string_view label,
                                       std::string_view initial) override;
    std::optional<std::string> askOpenFile(std::string_view title, std::string_view folder,
                                           std::string_view filter) override;
    std::optional<std::string> askSaveFile(std::string_view title, std::string_view folder,
                                           std::string_view filter) override;
    std::optional<uint32_t> askColour(uint32_t initial) override;

private:
    void notice(std::string_view title, std::string_view text);

    Prompts& m_prompts;
    NonInteractivePrompts m_stderr;
    QPointer<QObject> m_context;
    std::function<void(const std::string&)> m_show;
    std::vector<std::string> m_waiting; // said before the window could show them
    bool m_starting = true;
};

// A message as one line of the log: its lines joined, the title in front
// unless it is the program's own.
std::string noticeLine(std::string_view title, std::string_view text);

} // namespace orvane
