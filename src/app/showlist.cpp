#include "app/showlist.h"
#include "show/language.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

showlist::showlist(ShowChooser& chooser, QWidget* parent)
    : QDialog(parent), m_chooser(chooser), m_list(new QListWidget(this)),
      m_open(new QPushButton(translateQ("Show chooser", "Open"), this)) {
    setWindowTitle(translateQ("Show chooser", "Select Show"));
    m_list->setObjectName(QString::number(kList));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setViewMode(QListView::ListMode);
    m_list->setMinimumSize(360, 300);

    auto* newShow = new QPushButton(translateQ("Show chooser", "New"), this);
    auto* exit = new QPushButton(translateQ("Show chooser", "Exit"), this);
    m_open->setObjectName(QString::number(kOpen));
    newShow->setObjectName(QString::number(kNew));
    exit->setObjectName(QString::number(kExit));
    m_open->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_open);
    buttons->addWidget(newShow);
    buttons->addStretch();
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(m_open, &QPushButton::clicked, this, &showlist::openSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_list->setCurrentItem(item);
        item->setSelected(true);
        openSelected();
    });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(newShow, &QPushButton::clicked, this, [this] {
        if (m_chooser.newShow())
            refreshList();
    });
    connect(m_list, &QListWidget::itemSelectionChanged, this, &showlist::selectionChanged);

    m_chooser.fill();
    refreshList();
}

void showlist::refreshList() {
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        ListModel& items = m_chooser.list();
        for (int i = 0; i < items.count(); ++i)
            m_list->addItem(QString::fromStdString(items.item(i).text));
        int selected = items.selected();
        if (selected >= 0) {
            // The last show is the highlighted row, as if the operator had clicked it.
            m_list->setCurrentRow(selected, QItemSelectionModel::ClearAndSelect);
            m_list->scrollToItem(m_list->item(selected));
        }
    }
    selectionChanged();
}

void showlist::selectionChanged() {
    QList<QListWidgetItem*> selected = m_list->selectedItems();
    m_chooser.list().select(selected.isEmpty() ? -1 : m_list->row(selected.front()));
    m_open->setEnabled(m_chooser.canOpen());
}

void showlist::openSelected() {
    selectionChanged();
    if (m_chooser.open())
        accept();
}

} // namespace orvane
