// The report list model.
#include "inspector/ReportListModel.h"

namespace vexlor::inspector {

QString ReportListModel::DisplayText(std::string_view line) {
    // Report lines are single-byte text.
    QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    text.replace(QChar(u'\0'), QChar(u'\u00B7'));
    return text;
}

void ReportListModel::SetLines(ReportLines lines) {
    beginResetModel();
    // The lines before go first, so that a new full report never lives beside the last one.
    lines_ = ReportLines();
    lines_ = std::move(lines);
    widestRow_ = static_cast<int>(lines_.LongestRow());
    markedRow_ = -1;
    mark_ = QIcon();
    endResetModel();
}

void ReportListModel::MarkRow(int row, const QIcon& mark) {
    const int before = markedRow_;
    markedRow_ = row;
    mark_ = mark;
    for (const int changed : {before, row})
        if (changed >= 0 && changed < rowCount())
            emit dataChanged(index(changed), index(changed), {Qt::DecorationRole});
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DecorationRole && index.row() == markedRow_) return mark_;
    if (role != Qt::DisplayRole) return {};
    return DisplayText(lines_[static_cast<size_t>(index.row())]);
}

}  // namespace vexlor::inspector
