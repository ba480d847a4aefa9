// The repair panel (File > Repair...): what a repair of the open file will write, listed before
// anything is written, and the button that writes it to a new file. Choosing a row, with a click
// or the arrow keys, asks the window to go where it leads, as the findings panel's rows do.
#pragma once

#include <QWidget>

#include "inspector/plain/FindingPlace.h"

class QLabel;
class QPushButton;
class QTableView;

namespace vexlor::desktop {

class RepairTableModel;

class RepairPanel : public QWidget {
    Q_OBJECT
  public:
    explicit RepairPanel(QWidget* parent = nullptr);

    RepairTableModel* Rows() const { return rows_; }
    QTableView* Table() const { return table_; }
    QPushButton* WriteButton() const { return write_; }
    // "12 changes, 3 not mended, not written yet".
    QString Summary() const;
    // The plan shown was written to the file `name`; a new plan is not written yet again.
    void ShowWritten(const QString& name);

  signals:
    void Chosen(const inspector::FindingPlace& place);
    void WriteAsked();

  private:
    void ChooseRow(const QModelIndex& index);
    void Update();

    RepairTableModel* rows_;
    QLabel* summary_;
    QPushButton* write_;
    QTableView* table_;
    QString writtenTo_;
};

}  // namespace vexlor::desktop
