// The repair panel's table, summary and write button.
#include "desktop/RepairPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "desktop/RepairTableModel.h"
#include "inspector/RowTable.h"

namespace vexlor::desktop {

RepairPanel::RepairPanel(QWidget* parent)
    : QWidget(parent),
      rows_(new RepairTableModel(this)),
      summary_(new QLabel(this)),
      write_(new QPushButton(tr("&Write repaired file..."), this)),
      table_(new QTableView(this)) {
    summary_->setObjectName(QStringLiteral("repairSummary"));
    write_->setObjectName(QStringLiteral("repairWriteButton"));
    table_->setObjectName(QStringLiteral("repairTable"));
    table_->setModel(rows_);
    inspector::SetUpRowTable(table_);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(summary_, 1);
    top->addWidget(write_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(table_, 1);

    connect(write_, &QPushButton::clicked, this, &RepairPanel::WriteAsked);
    connect(rows_, &QAbstractItemModel::modelReset, this, [this] {
        writtenTo_.clear();
        Update();
    });
    inspector::OnRowChosen(table_, [this](const QModelIndex& index) { ChooseRow(index); });
    Update();
}

void RepairPanel::ChooseRow(const QModelIndex& index) {
    if (!index.isValid()) return;
    const inspector::FindingPlace place = rows_->PlaceOf(index.row());
    if (place.Leads()) emit Chosen(place);
}

QString RepairPanel::Summary() const {
    return summary_->text();
}

void RepairPanel::ShowWritten(const QString& name) {
    writtenTo_ = name;
    Update();
}

void RepairPanel::Update() {
    table_->resizeColumnsToContents();
    if (!rows_->HasPlan()) {
        summary_->setText(tr("Repair not run for this file"));
        write_->setEnabled(false);
        return;
    }
    const auto changes = static_cast<int>(rows_->Plan().Changes.size());
    const auto kept = static_cast<int>(rows_->Plan().Kept.size());
    summary_->setText((changes == 1 ? tr("1 change") : tr("%1 changes").arg(changes)) +
                      tr(", %1 not mended").arg(kept) +
                      (changes == 0           ? tr(": nothing to write")
                       : writtenTo_.isEmpty() ? tr(", not written yet")
                                              : tr(", written to %1").arg(writtenTo_)));
    write_->setEnabled(changes > 0);
}

}  // namespace vexlor::desktop
