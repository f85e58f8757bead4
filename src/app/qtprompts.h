#pragma once
// Prompts shown with Qt's dialogs. User-interface thread only.

#include "show/prompts.h"

#include <memory>

class QWidget;

namespace orvane {

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

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
};

// The prompts the program uses: Qt's, or the non-interactive ones when
// ORVANE_NONINTERACTIVE=1.
std::unique_ptr<Prompts> makePrompts(QWidget* parent = nullptr);

} // namespace orvane
