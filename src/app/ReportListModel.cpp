// The report list model.
#include "ReportListModel.h"

namespace vexlor::app {

QString ReportListModel::DisplayText(const std::string& line) {
    // Report lines are single-byte text.
    QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    text.replace(QChar(u'\0'), QChar(u'\u00B7'));
    return text;
}

void ReportListModel::SetLines(std::vector<std::string> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    widestRow_ = -1;
    size_t widest = 0;
    for (size_t row = 0; row < lines_.size(); ++row) {
        if (widestRow_ < 0 || lines_[row].size() > widest) {
            widest = lines_[row].size();
            widestRow_ = static_cast<int>(row);
        }
    }
    endResetModel();
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return DisplayText(lines_[static_cast<size_t>(index.row())]);
}

}  // namespace vexlor::app
