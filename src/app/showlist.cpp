#include "app/showlist.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

showlist::showlist(ShowChooser& chooser, QWidget* parent)
    : QDialog(parent), m_chooser(chooser), m_list(new QListWidget(this)) {
    setWindowTitle("Select Show");
    m_list->setObjectName(QString::number(kList));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setViewMode(QListView::ListMode);
    m_list->setMinimumSize(360, 300);

    auto* open = new QPushButton("Open", this);
    auto* newShow = new QPushButton("New", this);
    auto* exit = new QPushButton("Exit", this);
    open->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(newShow);
    buttons->addStretch();
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(open, &QPushButton::clicked, this, &showlist::openSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &showlist::openSelected);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(newShow, &QPushButton::clicked, this, [this] {
        if (m_chooser.newShow())
            refreshList();
    });
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { m_chooser.list().select(row); });

    m_chooser.fill();
    refreshList();
}

void showlist::refreshList() {
    const QSignalBlocker block(m_list);
    m_list->clear();
    ListModel& items = m_chooser.list();
    for (int i = 0; i < items.count(); ++i)
        m_list->addItem(QString::fromStdString(items.item(i).text));
    int selected = items.selected();
    if (selected >= 0) {
        m_list->setCurrentRow(selected);
        m_list->scrollToItem(m_list->item(selected));
    }
}

void showlist::openSelected() {
    m_chooser.list().select(
        m_list->currentItem() && m_list->currentItem()->isSelected() ? m_list->currentRow() : -1);
    m_chooser.open();
    accept();
}

} // namespace orvane
