#pragma once
// "Extra help" (dialog 116): the fixed help text of the extra-command language,
// one line per command, in the operator's language (the command words stay as
// the operator types them). User-interface thread only.

#include <QDialog>

#include <array>

class QListWidget;

namespace orvane {

constexpr int kExtraHelpLineCount = 17;
// UTF-8, English: the window shows them translated.
extern const std::array<const char*, kExtraHelpLineCount> kExtraHelpLines;

class extrahelp : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 116;

    explicit extrahelp(QWidget* parent = nullptr);

    // The lines as the window shows them.
    QStringList lines() const;

private:
    QListWidget* m_list;
};

} // namespace orvane
