// The differences of a comparison as table rows, read on demand.
#include "inspector/CompareTableModel.h"

#include <variant>

#include "compare/DifferenceText.h"
#include "reader/FormatTables.h"

namespace vexlor::inspector {

namespace {

// One row: a field value, a record range or a block.
using RowOf = std::variant<const FieldDifference*, const UnmatchedRecords*, const UnmatchedBlock*>;

RowOf RowAt(const FileComparison& comparison, size_t row) {
    if (row < comparison.Fields.size()) return &comparison.Fields[row];
    row -= comparison.Fields.size();
    if (row < comparison.Records.size()) return &comparison.Records[row];
    return &comparison.Blocks[row - comparison.Records.size()];
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void CompareTableModel::SetComparison(const OptDocument& a, std::unique_ptr<OptDocument> b,
                                      FileComparison comparison) {
    beginResetModel();
    a_ = &a;
    b_ = std::move(b);
    comparison_ = std::move(comparison);
    endResetModel();
}

void CompareTableModel::Clear() {
    beginResetModel();
    a_ = nullptr;
    b_.reset();
    comparison_ = {};
    endResetModel();
}

QString CompareTableModel::NotRunText() const {
    return a_ == nullptr ? tr("Compare not run for this file") : QString();
}

FindingPlace CompareTableModel::PlaceOf(int row) const {
    FindingPlace place;
    const OptModel& model = a_->Model();
    const auto blockOf = [&](int32_t node) {
        const BlockEntry& entry = model.BlockTable[static_cast<size_t>(node)];
        place.Node = node;
        place.Block = entry.Offset;
        place.Mesh = entry.Mesh;
    };
    const RowOf shown = RowAt(comparison_, static_cast<size_t>(row));
    if (const auto* field = std::get_if<const FieldDifference*>(&shown)) {
        const FieldDifference& difference = **field;
        blockOf(difference.NodeA);
        place.Offset = difference.OffsetA;
        place.Length = difference.Part < 0 ? difference.Field->Size : format::kValueSize;
        if (difference.Block->Type == kTypeFace && difference.Region->ElementName == "face")
            place.FaceInBlock = static_cast<int32_t>(difference.Record);
    } else if (const auto* records = std::get_if<const UnmatchedRecords*>(&shown)) {
        blockOf((*records)->NodeA);
        if ((*records)->Side == CompareSide::kA) {
            place.Offset = (*records)->Offset;
            place.Length = (*records)->Region->RecordSize;
        }
    } else {
        const UnmatchedBlock& block = *std::get<const UnmatchedBlock*>(shown);
        if (block.Side == CompareSide::kA) blockOf(block.Node);
    }
    return place;
}

std::vector<std::pair<int64_t, int32_t>> CompareTableModel::DifferingFaces() const {
    std::vector<std::pair<int64_t, int32_t>> faces;
    if (a_ == nullptr) return faces;
    for (const FieldDifference& difference : comparison_.Fields) {
        if (difference.Block->Type != kTypeFace || difference.Region->ElementName != "face")
            continue;
        const int64_t block = a_->Model().BlockTable[static_cast<size_t>(difference.NodeA)].Offset;
        const std::pair<int64_t, int32_t> face{block, static_cast<int32_t>(difference.Record)};
        if (faces.empty() || faces.back() != face) faces.push_back(face);
    }
    return faces;
}

int CompareTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || a_ == nullptr) return 0;
    return static_cast<int>(std::min<int64_t>(comparison_.DifferenceCount(), INT32_MAX));
}

int CompareTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CompareTableModel::Display(int row, int column) const {
    const RowOf shown = RowAt(comparison_, static_cast<size_t>(row));
    if (column == kText)
        return std::visit([&](const auto* item) { return Text(DifferenceLine(*a_, *b_, *item)); },
                          shown);
    if (const auto* field = std::get_if<const FieldDifference*>(&shown)) {
        const FieldDifference& difference = **field;
        switch (column) {
            case kOffset:
                return Text(OffsetText(difference.OffsetA));
            case kBlock:
                return difference.NodeA;
            case kKind:
                return Text(std::string(difference.Block->Name));
            case kMesh:
                return a_->Model().BlockTable[static_cast<size_t>(difference.NodeA)].Mesh;
            case kRecord:
                return Text(RecordName(*difference.Region, difference.Record));
            case kField:
                return Text(DifferenceFieldName(*difference.Field, difference.Part));
            case kA:
                return Text(
                    FieldValueText(*a_, *difference.Field, difference.Part, difference.OffsetA));
            case kB:
                return Text(
                    FieldValueText(*b_, *difference.Field, difference.Part, difference.OffsetB));
            default:
                return {};
        }
    }
    if (const auto* records = std::get_if<const UnmatchedRecords*>(&shown)) {
        const UnmatchedRecords& range = **records;
        const bool inA = range.Side == CompareSide::kA;
        switch (column) {
            case kOffset:
                return Text(OffsetText(range.Offset));
            case kBlock:
                return range.NodeA;
            case kKind:
                return Text(std::string(range.Block->Name));
            case kMesh:
                return a_->Model().BlockTable[static_cast<size_t>(range.NodeA)].Mesh;
            case kRecord:
                return Text(RecordName(*range.Region, range.First));
            case kField:
                return Text(std::string(range.Region->Name));
            case kA:
            case kB:
                return (column == kA) == inA ? tr("%n record(s)", nullptr, int(range.Count))
                                             : tr("none");
            default:
                return {};
        }
    }
    const UnmatchedBlock& block = *std::get<const UnmatchedBlock*>(shown);
    const OptDocument& document = block.Side == CompareSide::kA ? *a_ : *b_;
    const BlockEntry& entry = document.Model().BlockTable[static_cast<size_t>(block.Node)];
    const bool inA = block.Side == CompareSide::kA;
    switch (column) {
        case kOffset:
            return Text(OffsetText(entry.Offset));
        case kBlock:
            return block.Node;
        case kKind:
            return Text(std::string(SchemaOf(entry.Type).Name));
        case kMesh:
            return entry.Mesh;
        case kA:
        case kB:
            return (column == kA) == inA ? tr("block") : tr("none");
        default:
            return {};
    }
}

QVariant CompareTableModel::SortKey(int row, int column) const {
    const QVariant shown = Display(row, column);
    if (column == kBlock || column == kMesh) return shown;
    if (column == kOffset) return shown.toString().toLongLong();
    return shown.toString();
}

QVariant CompareTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
    switch (role) {
        case Qt::DisplayRole:
            return Display(index.row(), index.column());
        case kSortRole:
            return SortKey(index.row(), index.column());
        case Qt::ToolTipRole:
            return index.column() == kText ? Display(index.row(), kText) : QVariant();
        default:
            return {};
    }
}

QVariant CompareTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[kColumnCount] = {"Offset", "Block", "Kind", "Mesh", "Record",
                                                      "Field",  "A",     "B",    "Text"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section])
                                                  : QVariant();
}

}  // namespace vexlor::inspector
