// The record inspector's rows.
#include "inspector/RecordValuesModel.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace vexlor::inspector {

void RecordValuesModel::SetValues(RecordValues values) {
    beginResetModel();
    values_ = std::move(values);
    endResetModel();
}

std::optional<RecordRef> RecordValuesModel::TargetOf(int row) const {
    if (row < 0 || row >= rowCount()) return std::nullopt;
    return values_.Rows[static_cast<size_t>(row)].Target;
}

int RecordValuesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(values_.Rows.size());
}

int RecordValuesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordValuesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RecordValueRow& row = values_.Rows[static_cast<size_t>(index.row())];
    const bool link = index.column() == kTarget && row.Target.has_value();
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case kName:
                return QString::fromStdString(row.Name);
            case kOffset:
                return QString::number(row.Offset);
            case kType:
                return QString::fromStdString(row.Type);
            case kBytes:
                return QString::fromStdString(row.Bytes);
            case kValue:
                return QString::fromStdString(row.Value);
            case kTarget:
                return QString::fromStdString(row.TargetText);
            default:
                return {};
        }
    }
    if (role == Qt::ToolTipRole && link)
        return tr("Click, or Enter on the row, to go to %1")
            .arg(QString::fromStdString(RecordName(*row.Target)));
    if (role == Qt::ForegroundRole && link) return QApplication::palette().link();
    if (role == Qt::FontRole && link) {
        QFont font;
        font.setUnderline(true);
        return font;
    }
    if (role == Qt::TextAlignmentRole && index.column() == kOffset)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant RecordValuesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case kName:
            return tr("Field");
        case kOffset:
            return tr("Offset");
        case kType:
            return tr("Type");
        case kBytes:
            return tr("Bytes");
        case kValue:
            return tr("Value");
        case kTarget:
            return tr("Names");
        default:
            return {};
    }
}

}  // namespace vexlor::inspector
