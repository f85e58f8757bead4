#pragma once
// "Select Show": the modal show chooser. Accepted with Open or a double-click
// (the chosen name is then in name()), rejected with Exit.
// User-interface thread only.

#include "playback/showchooser.h"

#include <QDialog>

class QListWidget;

namespace orvane {

class showlist : public QDialog {
    Q_OBJECT
public:
    static constexpr int kList = 1066;

    showlist(ShowChooser& chooser, QWidget* parent = nullptr);
    std::string name() const { return m_chooser.name(); }

private:
    void refreshList();
    void openSelected();

    ShowChooser& m_chooser;
    QListWidget* m_list;
};

} // namespace orvane
