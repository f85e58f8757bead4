#pragma once
// Prompts shown with Qt's dialogs. User-interface thread only.

#include "show/prompts.h"

#include <memory>

class QWidget;

namespace orvane {

// Every message and question is also written to stderr as the non-interactive
// prompts write it, so a terminal shows what the operator was told. Once
// stopAsking() was called (the program is told to end), nothing is shown any
// more: every prompt takes its default answer at once.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void stopAsking() { m_stopped = true; }

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
    QWidget* m_parent;
    bool m_stopped = false;
    NonInteractivePrompts m_stderr;
};

// Closes the modal dialogs open above keep (message boxes, file and colour
// choosers, the show chooser) as their default answer would: No, Cancel, OK.
void dismissOpenDialogs(QWidget* keep);

// The prompts the program uses: Qt's, or the non-interactive ones when
// ORVANE_NONINTERACTIVE=1.
std::unique_ptr<Prompts> makePrompts(QWidget* parent = nullptr);

} // namespace orvane
