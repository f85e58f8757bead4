#include "app/qtprompts.h"

#include "app/newshowname.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace orvane {

static QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

static QMessageBox::Icon iconOf(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

void QtPrompts::message(std::string_view title, std::string_view text, PromptIcon icon) {
    QMessageBox box(iconOf(icon), qs(title), qs(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtPrompts::askYesNo(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPrompts::askText(std::string_view title, std::string_view label,
                                              std::string_view initial) {
    newshowname dialog(m_parent, qs(title), qs(label), qs(initial));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.text().toStdString();
}

std::optional<std::string> QtPrompts::askOpenFile(std::string_view title, std::string_view folder,
                                                  std::string_view filter) {
    QString f = QFileDialog::getOpenFileName(m_parent, qs(title), qs(folder), qs(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtPrompts::askSaveFile(std::string_view title, std::string_view folder,
                                                  std::string_view filter) {
    QString f = QFileDialog::getSaveFileName(m_parent, qs(title), qs(folder), qs(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<uint32_t> QtPrompts::askColour(uint32_t initial) {
    // Qt keeps the custom colours for the whole run, as the chooser should.
    QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF), int((initial >> 16) & 0xFF));
    QColor c = QColorDialog::getColor(start, m_parent);
    if (!c.isValid())
        return std::nullopt;
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

std::unique_ptr<Prompts> makePrompts(QWidget* parent) {
    if (nonInteractiveRequested())
        return std::make_unique<NonInteractivePrompts>();
    return std::make_unique<QtPrompts>(parent);
}

} // namespace orvane
