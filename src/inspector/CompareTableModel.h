// The compare panel's rows: the differences between the open file (A) and the file it was
// compared with (B), one row each, read from the comparison as they are shown: the field values
// that differ, then the record ranges and blocks only one file holds. A row leads to its block,
// its bytes and, for a face's field, its face in the open file.
#pragma once

#include <memory>

#include "compare/FileComparison.h"
#include "inspector/PlacedRowsModel.h"

namespace vexlor::inspector {

class CompareTableModel : public PlacedRowsModel {
    Q_OBJECT
  public:
    enum Column { kOffset, kBlock, kKind, kMesh, kRecord, kField, kA, kB, kText, kColumnCount };

    explicit CompareTableModel(QObject* parent = nullptr) : PlacedRowsModel(parent) {}

    // The comparison of `a` (the open file, which must outlive these rows or outlast a Clear)
    // with `b`, which the rows keep.
    void SetComparison(const OptDocument& a, std::unique_ptr<OptDocument> b,
                       FileComparison comparison);
    void Clear();
    QString NotRunText() const override;

    const FileComparison& Comparison() const { return comparison_; }
    // The faces of the open file whose records differ, (face block position, place in the
    // block), for the view's marks.
    std::vector<std::pair<int64_t, int32_t>> DifferingFaces() const;
    const OptDocument* Other() const { return b_.get(); }

    FindingPlace PlaceOf(int row) const override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVariant Display(int row, int column) const;
    QVariant SortKey(int row, int column) const;

    const OptDocument* a_ = nullptr;
    std::unique_ptr<OptDocument> b_;
    FileComparison comparison_;
};

}  // namespace vexlor::inspector
