#pragma once
// A dialog with one text field, "OK" and "Cancel": "New show" asks for the name
// of a new show with it. User-interface thread only.

#include <QDialog>

class QLineEdit;

namespace orvane {

class newshowname : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNameField = 1273;

    newshowname(QWidget* parent, const QString& title, const QString& label,
                const QString& initial);
    QString text() const;

private:
    QLineEdit* m_edit;
};

} // namespace orvane
