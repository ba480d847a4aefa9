// The row tables of the findings and repair panels (see RowTable.h).
#include "inspector/RowTable.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

namespace vexlor::inspector {

void SetUpRowTable(QTableView* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    // Tab and Shift+Tab go on to the next pane; the arrow keys move inside the table.
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
}

void OnRowChosen(QTableView* table, std::function<void(const QModelIndex&)> chosen) {
    QObject::connect(table, &QTableView::clicked, table, chosen);
    QObject::connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, table,
                     [table, chosen](const QModelIndex& current) {
                         if (table->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
                             chosen(current);
                     });
}

}  // namespace vexlor::inspector
