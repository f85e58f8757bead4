#pragma once
// "Select Show": the modal show chooser. Accepted with Open or a double-click
// (the chosen name is then in name()), rejected with Exit. Open acts on the
// highlighted show and is disabled while none is.
// User-interface thread only.

#include "startup/showchooser.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace orvane {

class showlist : public QDialog {
    Q_OBJECT
public:
    static constexpr int kList = 1066;
    static constexpr int kOpen = 1; // the dialog's OK button
    static constexpr int kExit = 2; // its Cancel button
    static constexpr int kNew = 3;  // "New"

    showlist(ShowChooser& chooser, QWidget* parent = nullptr);
    std::string name() const { return m_chooser.name(); }

private:
    void refreshList();
    void selectionChanged();
    void openSelected();

    ShowChooser& m_chooser;
    QListWidget* m_list;
    QPushButton* m_open;
};

} // namespace orvane
