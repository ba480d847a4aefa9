// How a difference reads: offsets, block, record, field and both values.
#include "compare/DifferenceText.h"

#include <cstdio>

#include "reader/FormatTables.h"
#include "reader/NumberText.h"

namespace vexlor {

namespace {

std::string Counted(int64_t count, const std::string& word) {
    return NumberText::IntText(count) + " " + word + (count == 1 ? "" : "s");
}

// "block 17 (face block at 810), mesh 2", with B's node where it is another, as a changed
// field's line names its block.
std::string BlockText(const OptDocument& a, int32_t nodeA, int32_t nodeB,
                      const BlockSchema& schema) {
    const BlockEntry& entry = a.Model().BlockTable[static_cast<size_t>(nodeA)];
    std::string text = "block " + NumberText::IntText(nodeA);
    if (nodeB != nodeA) text += " (B " + NumberText::IntText(nodeB) + ")";
    text += " (" + std::string(schema.Name) + " at " + NumberText::IntText(entry.Offset) + ")";
    if (entry.Mesh >= 0) text += ", mesh " + NumberText::IntText(entry.Mesh);
    return text;
}

}  // namespace

std::string DifferenceFieldName(const FieldSchema& field, int32_t part) {
    std::string name(field.Name);
    if (part < 0 || static_cast<size_t>(part) >= field.Parts.size()) return name;
    const std::string_view partName = field.Parts[static_cast<size_t>(part)];
    // "soft vector 1 x" is the x of softVector1: a part named after its field ends in its axis.
    const size_t space = partName.rfind(' ');
    const bool axis = space != std::string_view::npos && partName.size() == space + 2 &&
                      partName.back() >= 'a' && partName.back() <= 'z';
    name += ".";
    name += axis ? partName.substr(space + 1) : partName;
    return name;
}

std::string RecordName(const RegionSchema& region, int64_t record) {
    if (region.ElementName.empty()) return std::string(region.Name);
    return std::string(region.ElementName) + " " + NumberText::IntText(region.FirstNumber + record);
}

std::string FieldValueText(const OptDocument& document, const FieldSchema& field, int32_t part,
                           int64_t at) {
    if (part < 0 && !field.Parts.empty()) {
        std::string values;
        for (size_t k = 0; k < field.Parts.size(); ++k)
            values += (k == 0 ? "" : " ") +
                      FieldValueText(document, field, static_cast<int32_t>(k),
                                     at + format::kValueSize * static_cast<int64_t>(k));
        return values;
    }
    const OptStream& stream = document.Stream();
    switch (field.Value) {
        case ValueKind::kText: {
            const std::string text = stream.TextAt(at, field.Size);
            std::string quoted = "\"";
            for (const char c : text) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\') {
                    quoted += c;
                } else {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
                    quoted += escaped;
                }
            }
            return quoted + "\"";
        }
        case ValueKind::kBytes: {
            std::string bytes;
            for (int32_t i = 0; i < field.Size; ++i) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%02x", stream.ByteAt(at + i));
                if (i > 0) bytes += ' ';
                bytes += hex;
            }
            return bytes;
        }
        case ValueKind::kSingle:
            return FloatText(stream.SingleAt(at));
        case ValueKind::kStoredOffset: {
            const int32_t stored = stream.Int32At(at);
            if (stored == 0 && field.Kind == FieldKind::kSlotTable && part < 0) return "empty";
            return "position " + NumberText::IntText(stored - document.Model().GlobalOffset);
        }
        case ValueKind::kInt32:
            break;
    }
    return NumberText::IntText(stream.Int32At(at));
}

std::string OffsetText(int64_t offset) {
    return NumberText::IntText(offset);
}

FieldPlace DifferencePlace(const OptDocument& document, const FieldDifference& difference,
                           CompareSide side) {
    const bool inA = side == CompareSide::kA;
    const int32_t node = inA ? difference.NodeA : difference.NodeB;
    const BlockEntry& entry = document.Model().BlockTable[static_cast<size_t>(node)];
    FieldPlace place;
    place.Offset = inA ? difference.OffsetA : difference.OffsetB;
    place.Block = node;
    place.BlockOffset = entry.Offset;
    place.BlockType = difference.Block->Type;
    place.Mesh = entry.Mesh;
    place.Region = difference.Region->Name;
    place.Record = difference.Record;
    place.Field = difference.Field->Name;
    return place;
}

std::string DifferenceLine(const OptDocument& a, const OptDocument& b,
                           const FieldDifference& difference) {
    const FieldPlace placeB = DifferencePlace(b, difference, CompareSide::kB);
    return FieldChangeText(
        DifferencePlace(a, difference, CompareSide::kA),
        FieldValueText(a, *difference.Field, difference.Part, difference.OffsetA),
        FieldValueText(b, *difference.Field, difference.Part, difference.OffsetB), &placeB);
}

std::string DifferenceLine(const OptDocument& a, const OptDocument&,
                           const UnmatchedRecords& records) {
    const char* side = records.Side == CompareSide::kA ? "A" : "B";
    return "offset " + OffsetText(records.Offset) + " (" + side +
           "): " + BlockText(a, records.NodeA, records.NodeB, *records.Block) + ", " +
           std::string(records.Region->Name) + ": " + Counted(records.Count, "record") + " from " +
           RecordName(*records.Region, records.First) + " only in " + side;
}

std::string DifferenceLine(const OptDocument& a, const OptDocument& b,
                           const UnmatchedBlock& block) {
    const bool inA = block.Side == CompareSide::kA;
    const OptModel& model = (inA ? a : b).Model();
    const BlockEntry& entry = model.BlockTable[static_cast<size_t>(block.Node)];
    std::string text = "offset " + OffsetText(entry.Offset) + " (" + (inA ? "A" : "B") +
                       "): block " + NumberText::IntText(block.Node) + " (" +
                       std::string(SchemaOf(entry.Type).Name) + ", type " +
                       NumberText::IntText(entry.Type) + "), mesh " +
                       NumberText::IntText(entry.Mesh) + ": only in " + (inA ? "A" : "B");
    if (block.BlocksBelow > 0)
        text += ", with " + Counted(block.BlocksBelow, "block") + " below it";
    return text;
}

std::vector<std::string> ProblemNotes(const FileComparison& comparison) {
    std::vector<std::string> notes;
    const auto note = [&](const char* side, int64_t problems) {
        if (problems > 0)
            notes.push_back(std::string(side) + ": the open found " + Counted(problems, "problem") +
                            " (\"!!\" lines); what it could not read is not compared");
    };
    note("A", comparison.ProblemsA);
    note("B", comparison.ProblemsB);
    return notes;
}

std::string ComparisonSummary(const FileComparison& comparison) {
    if (comparison.Same()) return "no differences";
    int64_t onlyInA = 0;
    for (const UnmatchedBlock& block : comparison.Blocks)
        onlyInA += block.Side == CompareSide::kA ? 1 : 0;
    const auto onlyInB = static_cast<int64_t>(comparison.Blocks.size()) - onlyInA;
    return Counted(comparison.DifferenceCount(), "difference") + ": " +
           Counted(static_cast<int64_t>(comparison.Fields.size()), "field value") + ", " +
           Counted(static_cast<int64_t>(comparison.Records.size()), "record range") + ", " +
           Counted(onlyInA, "block") + " only in A, " + Counted(onlyInB, "block") + " only in B";
}

}  // namespace vexlor
