// The findings panel's rows.
#include "inspector/FindingsTableModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "inspector/ReportListModel.h"
#include "inspector/plain/FindingPlace.h"

namespace vexlor::inspector {

namespace {

QString Latin1(std::string_view text) {
    return ReportListModel::DisplayText(std::string(text));
}

QString VectorText(const std::optional<Vec3>& v) {
    if (!v) return {};
    return QStringLiteral("%1, %2, %3")
        .arg(QString::number(v->X, 'g', 6), QString::number(v->Y, 'g', 6),
             QString::number(v->Z, 'g', 6));
}

QVariant NumberOrNothing(int64_t value) {
    return value >= 0 ? QVariant(static_cast<qlonglong>(value)) : QVariant();
}

}  // namespace

std::optional<double> FindingsTableModel::AngleBetween(const Vec3& a, const Vec3& b) {
    const double la = std::sqrt(double{a.X} * a.X + double{a.Y} * a.Y + double{a.Z} * a.Z);
    const double lb = std::sqrt(double{b.X} * b.X + double{b.Y} * b.Y + double{b.Z} * b.Z);
    if (!(la > 0) || !(lb > 0) || !std::isfinite(la) || !std::isfinite(lb)) return std::nullopt;
    const double cosine = (double{a.X} * b.X + double{a.Y} * b.Y + double{a.Z} * b.Z) / (la * lb);
    if (!std::isfinite(cosine)) return std::nullopt;
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

void FindingsTableModel::SetProblems(const OptStream& stream, const OptModel& model) {
    beginResetModel();
    rows_.clear();
    for (const WalkProblem& problem : model.Problems.Kept()) {
        Row row;
        row.Kind = Latin1(ProblemKindName(problem.Kind));
        row.Block = problem.Block;
        row.Offset = problem.Offset;
        row.Text = Latin1(problem.Text).trimmed();
        row.Place = PlaceOfProblem(problem, stream, model.GlobalOffset);
        row.Face = row.Place.FaceInBlock;
        row.Corner = row.Place.Corner;
        const int32_t node = NodeOfPlace(row.Place, model);
        if (node >= 0) row.Mesh = model.BlockTable[static_cast<size_t>(node)].Mesh;
        if (node == 0) row.Mesh = -1;  // the file header belongs to no mesh
        rows_.push_back(std::move(row));
    }
    problemRows_ = static_cast<int>(rows_.size());
    endResetModel();
}

void FindingsTableModel::SetFindings(const std::vector<CheckFinding>& findings,
                                     const OptStream& stream, const OptModel& model) {
    beginResetModel();
    rows_.resize(static_cast<size_t>(problemRows_));
    for (const CheckFinding& finding : findings) {
        // The problems the check counted are rows already.
        if (finding.Problem) continue;
        Row row;
        row.Kind = Latin1(FindingKindName(finding.Kind));
        row.Mesh = finding.Mesh;
        row.Face = finding.Face;
        row.Corner = finding.Corner;
        row.Stored = finding.Stored;
        row.Computed = finding.Computed;
        row.Block = finding.BlockOffset;
        row.Offset = finding.FieldOffset >= 0 ? finding.FieldOffset : finding.RecordOffset;
        row.Text = Latin1(finding.Text).trimmed();
        row.Place = PlaceOfFinding(finding, stream, model);
        rows_.push_back(std::move(row));
    }
    endResetModel();
}

void FindingsTableModel::Clear() {
    beginResetModel();
    rows_.clear();
    problemRows_ = 0;
    endResetModel();
}

int FindingsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FindingsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FindingsTableModel::Display(const Row& row, int column) const {
    switch (column) {
        case kKind:
            return row.Kind;
        case kMesh:
            return NumberOrNothing(row.Mesh);
        case kFace:
            return NumberOrNothing(row.Face);
        case kCorner:
            return NumberOrNothing(row.Corner);
        case kStored:
            return VectorText(row.Stored);
        case kComputed:
            return VectorText(row.Computed);
        case kDifference: {
            if (!row.Stored || !row.Computed) return {};
            const std::optional<double> angle = AngleBetween(*row.Stored, *row.Computed);
            return angle ? QString::number(*angle, 'f', 1) + QChar(0x00B0) : QStringLiteral("?");
        }
        case kBlock:
            return NumberOrNothing(row.Block);
        case kOffset:
            return NumberOrNothing(row.Offset);
        case kText:
            return row.Text;
        default:
            return {};
    }
}

QVariant FindingsTableModel::SortKey(const Row& row, int column) const {
    switch (column) {
        case kMesh:
            return static_cast<qlonglong>(row.Mesh);
        case kFace:
            return static_cast<qlonglong>(row.Face);
        case kCorner:
            return static_cast<qlonglong>(row.Corner);
        case kBlock:
            return static_cast<qlonglong>(row.Block);
        case kOffset:
            return static_cast<qlonglong>(row.Offset);
        case kDifference: {
            const std::optional<double> angle = row.Stored && row.Computed
                                                    ? AngleBetween(*row.Stored, *row.Computed)
                                                    : std::nullopt;
            return angle ? *angle : -1.0;
        }
        default:
            return Display(row, column).toString();
    }
}

QVariant FindingsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return Display(row, index.column());
        case kSortRole:
            return SortKey(row, index.column());
        case Qt::ToolTipRole:
            return index.column() == kText ? row.Text : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == kKind || index.column() == kText
                       ? QVariant()
                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant FindingsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[kColumnCount] = {"Kind",   "Mesh",     "Face",       "Corner",
                                                      "Stored", "Computed", "Difference", "Block",
                                                      "Offset", "Text"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section])
                                                  : QVariant();
}

}  // namespace vexlor::inspector
