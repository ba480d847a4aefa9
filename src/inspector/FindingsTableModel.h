// The findings panel's rows: the problems the open found in the file, then the findings of the
// last "Check OPT", one row each, with the kind, mesh, face, corner, stored and computed vectors
// and the angle between them, the block and offset in the file, and the finding's text. Each row
// knows where it leads.
#pragma once

#include <optional>
#include <vector>

#include "check/CheckFinding.h"
#include "inspector/PlacedRowsModel.h"
#include "inspector/plain/FindingPlace.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"

namespace vexlor::inspector {

class FindingsTableModel : public PlacedRowsModel {
    Q_OBJECT
  public:
    enum Column {
        kKind,
        kMesh,
        kFace,
        kCorner,
        kStored,
        kComputed,
        kDifference,
        kBlock,
        kOffset,
        kText,
        kColumnCount
    };
    explicit FindingsTableModel(QObject* parent = nullptr) : PlacedRowsModel(parent) {}

    // The open file's problems (the check's findings go: they were of the file before).
    void SetProblems(const OptStream& stream, const OptModel& model);
    // The findings of a check run, in place of the last run's.
    void SetFindings(const std::vector<CheckFinding>& findings, const OptStream& stream,
                     const OptModel& model);
    void Clear();

    FindingPlace PlaceOf(int row) const override { return rows_[static_cast<size_t>(row)].Place; }
    int ProblemRows() const { return problemRows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The angle between two vectors in degrees; nothing when either has no direction.
    static std::optional<double> AngleBetween(const Vec3& a, const Vec3& b);

  private:
    struct Row {
        QString Kind;
        int64_t Mesh = -1;
        int64_t Face = -1;
        int64_t Corner = -1;
        std::optional<Vec3> Stored;
        std::optional<Vec3> Computed;
        int64_t Block = -1;
        int64_t Offset = -1;
        QString Text;
        FindingPlace Place;
    };
    QVariant Display(const Row& row, int column) const;
    QVariant SortKey(const Row& row, int column) const;

    std::vector<Row> rows_;
    int problemRows_ = 0;
};

}  // namespace vexlor::inspector
