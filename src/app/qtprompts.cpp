#include "app/qtprompts.h"

#include "app/newshowname.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

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
    m_stderr.message(title, text, icon);
    if (m_stopped)
        return;
    QMessageBox box(iconOf(icon), qs(title), qs(text), QMessageBox::Ok, m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

bool QtPrompts::askYesNo(std::string_view title, std::string_view text) {
    m_stderr.askYesNo(title, text);
    if (m_stopped)
        return false;
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPrompts::askText(std::string_view title, std::string_view label,
                                              std::string_view initial) {
    if (m_stopped)
        return m_stderr.askText(title, label, initial);
    newshowname dialog(m_parent, qs(title), qs(label), qs(initial));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.text().toStdString();
}

std::optional<std::string> QtPrompts::askOpenFile(std::string_view title, std::string_view folder,
                                                  std::string_view filter) {
    if (m_stopped)
        return m_stderr.askOpenFile(title, folder, filter);
    QString f = QFileDialog::getOpenFileName(m_parent, qs(title), qs(folder), qs(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtPrompts::askSaveFile(std::string_view title, std::string_view folder,
                                                  std::string_view filter) {
    if (m_stopped)
        return m_stderr.askSaveFile(title, folder, filter);
    QString f = QFileDialog::getSaveFileName(m_parent, qs(title), qs(folder), qs(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<uint32_t> QtPrompts::askColour(uint32_t initial) {
    if (m_stopped)
        return m_stderr.askColour(initial);
    // Qt keeps the custom colours for the whole run, as the chooser should.
    QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF), int((initial >> 16) & 0xFF));
    QColor c = QColorDialog::getColor(start, m_parent);
    if (!c.isValid())
        return std::nullopt;
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

void dismissOpenDialogs(QWidget* keep) {
    QWidget* last = nullptr;
    while (QWidget* w = QApplication::activeModalWidget()) {
        if (w == keep || w == last)
            return;
        last = w;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            QPushButton* def = box->defaultButton();
            box->done(def ? int(box->standardButton(def)) : int(QMessageBox::Cancel));
        } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
            dialog->reject();
        } else {
            w->close();
        }
    }
}

std::unique_ptr<Prompts> makePrompts(QWidget* parent) {
    if (nonInteractiveRequested())
        return std::make_unique<NonInteractivePrompts>();
    return std::make_unique<QtPrompts>(parent);
}

} // namespace orvane
