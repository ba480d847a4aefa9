// The repair panel's rows (see RepairTableModel.h).
#include "desktop/RepairTableModel.h"

#include <QBrush>
#include <QColor>

#include "reader/FormatTables.h"

namespace vexlor::desktop {

void RepairTableModel::SetPlan(RepairPlan plan) {
    beginResetModel();
    plan_ = std::move(plan);
    hasPlan_ = true;
    endResetModel();
}

void RepairTableModel::Clear() {
    beginResetModel();
    plan_ = {};
    hasPlan_ = false;
    endResetModel();
}

inspector::FindingPlace RepairTableModel::PlaceOf(int row) const {
    inspector::FindingPlace place;
    const auto changes = static_cast<int>(plan_.Changes.size());
    if (row < changes) {
        const FieldChange& change = plan_.Changes[static_cast<size_t>(row)];
        const RepairedFace& face = plan_.Faces[static_cast<size_t>(row)];
        place.Node = change.BlockType == kTypeFace ? -1 : change.Block;
        place.Block = face.BlockOffset;
        place.FaceBlock = true;
        place.Mesh = face.Mesh;
        place.Offset = change.Offset;
        place.Length = format::kVectorSize;
        place.FaceInBlock = face.FaceInBlock;
        if (change.BlockType != kTypeFace) {
            // An entry leads to its own block; the face that uses it is not in that block.
            place.Block = -1;
            place.FaceInBlock = -1;
        }
        return place;
    }
    const NotMendable& kept = plan_.Kept[static_cast<size_t>(row - changes)];
    place.Block = kept.BlockOffset;
    place.FaceBlock = true;
    place.Mesh = kept.Mesh;
    place.FaceInBlock = kept.FaceInBlock;
    place.Offset = kept.Offset;
    return place;
}

std::vector<std::pair<int64_t, int32_t>> RepairTableModel::ChangedFaces() const {
    std::vector<std::pair<int64_t, int32_t>> faces;
    faces.reserve(plan_.Faces.size());
    for (const RepairedFace& face : plan_.Faces)
        faces.emplace_back(face.BlockOffset, face.FaceInBlock);
    return faces;
}

int RepairTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(plan_.Changes.size() + plan_.Kept.size());
}

int RepairTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RepairTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const auto changes = static_cast<int>(plan_.Changes.size());
    const bool kept = index.row() >= changes;
    if (role == Qt::ForegroundRole && kept) return QBrush(QColor(160, 60, 0));
    if (role != Qt::DisplayRole) return {};
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    if (kept) {
        const NotMendable& item = plan_.Kept[static_cast<size_t>(index.row() - changes)];
        switch (index.column()) {
            case kOffset:
                return item.Offset < 0 ? QVariant() : QVariant(qlonglong(item.Offset));
            case kMesh:
                return item.Mesh;
            case kFace:
                return qlonglong(item.Face);
            case kField:
                return QStringLiteral("not mended: ") +
                       text(std::string(FindingKindName(item.Kind)));
            case kNew:
                return text(item.Reason);
            default:
                return {};
        }
    }
    const FieldChange& change = plan_.Changes[static_cast<size_t>(index.row())];
    switch (index.column()) {
        case kOffset:
            return qlonglong(change.Offset);
        case kBlock:
            return change.Block;
        case kMesh:
            return change.Mesh;
        case kFace:
            return qlonglong(plan_.Faces[static_cast<size_t>(index.row())].Face);
        case kField:
            return text(std::string(change.Region) + "[" + std::to_string(change.Record) + "]." +
                        std::string(change.Field));
        case kOld:
            return text(VectorText(change.Old));
        case kNew:
            return text(VectorText(change.New));
        default:
            return {};
    }
}

QVariant RepairTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[kColumnCount] = {"Offset", "Block", "Mesh", "Face",
                                                      "Field",  "Old",   "New"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section])
                                                  : QVariant();
}

}  // namespace vexlor::desktop
