// A panel of rows that lead into the open file (the findings panel, the compare panel): a table
// that sorts by any column (a click on its header) and keeps only the rows that hold the filter
// text. Choosing a row, with a click or the arrow keys, asks the window to go where it leads.
#pragma once

#include <QWidget>

#include "inspector/plain/FindingPlace.h"

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace vexlor::inspector {

class PlacedRowsModel;

class PlacedRowsPanel : public QWidget {
    Q_OBJECT
  public:
    // The panel takes `rows`; its parts are named `name` + "Filter", "Count" and "Table".
    PlacedRowsPanel(PlacedRowsModel* rows, const QString& name, QWidget* parent = nullptr);

    QSortFilterProxyModel* Shown() const { return shown_; }
    QTableView* Table() const { return table_; }
    QLineEdit* Filter() const { return filter_; }
    // "12 rows", "3 of 12 rows".
    QString Count() const;

  signals:
    void Chosen(const FindingPlace& place);

  private:
    void ChooseRow(const QModelIndex& shownIndex);
    void UpdateCount();

    PlacedRowsModel* rows_;
    QSortFilterProxyModel* shown_;
    QLineEdit* filter_;
    QLabel* count_;
    QTableView* table_;
};

}  // namespace vexlor::inspector
