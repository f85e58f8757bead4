#include "app/newshowname.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace orvane {

newshowname::newshowname(QWidget* parent, const QString& title, const QString& label,
                         const QString& initial)
    : QDialog(parent), m_edit(new QLineEdit(initial, this)) {
    setWindowTitle(title);
    m_edit->setObjectName(QString::number(kNameField));
    m_edit->selectAll();
    m_edit->setMinimumWidth(320);
    auto* form = new QFormLayout(this);
    form->addRow(label, m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString newshowname::text() const {
    return m_edit->text();
}

} // namespace orvane
