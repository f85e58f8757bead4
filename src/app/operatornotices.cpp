#include "app/operatornotices.h"

#include "startup/showchooser.h"

#include <QObject>
#include <QTimer>

namespace orvane {

std::string noticeLine(std::string_view title, std::string_view text) {
    std::string line;
    if (!title.empty() && title != kProgramTitle)
        line.append(title).append(": ");
    for (char c : text) {
        if (c == '\n')
            line += " - ";
        else if (c != '\r')
            line += c;
    }
    return line;
}

void OperatorNotices::setWindow(QObject* context, std::function<void(const std::string&)> show) {
    m_context = context;
    m_show = std::move(show);
    for (const std::string& line : m_waiting)
        m_show(line);
    m_waiting.clear();
}

void OperatorNotices::notice(std::string_view title, std::string_view text) {
    m_stderr.message(title.empty() ? kProgramTitle : title, text, PromptIcon::None);
    std::string line = noticeLine(title, text);
    if (m_show)
        m_show(line);
    else
        m_waiting.push_back(std::move(line));
}

void OperatorNotices::message(std::string_view title, std::string_view text, PromptIcon icon) {
    if (m_starting)
        notice(title, text);
    else
        m_prompts.message(title, text, icon);
}

void OperatorNotices::messageLater(std::string_view title, std::string_view text) {
    if (m_starting || !m_context) {
        notice(title, text);
        return;
    }
    std::string t(title.empty() ? kProgramTitle : title), x(text);
    QTimer::singleShot(0, m_context.data(),
                       [this, t, x] { m_prompts.message(t, x, PromptIcon::None); });
}

bool OperatorNotices::askYesNo(std::string_view title, std::string_view text) {
    return m_prompts.askYesNo(title, text);
}

std::optional<std::string> OperatorNotices::askText(std::string_view title, std::string_view label,
                                                    std::string_view initial) {
    return m_prompts.askText(title, label, initial);
}

std::optional<std::string> OperatorNotices::askOpenFile(std::string_view title,
                                                        std::string_view folder,
                                                        std::string_view filter) {
    return m_prompts.askOpenFile(title, folder, filter);
}

std::optional<std::string> OperatorNotices::askSaveFile(std::string_view title,
                                                        std::string_view folder,
                                                        std::string_view filter) {
    return m_prompts.askSaveFile(title, folder, filter);
}

std::optional<uint32_t> OperatorNotices::askColour(uint32_t initial) {
    return m_prompts.askColour(initial);
}

} // namespace orvane
