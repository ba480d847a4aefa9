// The comparison's differences as JSON records.
#include "cli/DiffJson.h"

#include <nlohmann/json.hpp>

#include "cli/FieldChangeJson.h"
#include "compare/DifferenceText.h"

namespace vexlor::cli {

namespace {

using json = nlohmann::ordered_json;

const char* SideName(CompareSide side) {
    return side == CompareSide::kA ? "A" : "B";
}

int32_t MeshOf(const OptDocument& document, int32_t node) {
    return document.Model().BlockTable[static_cast<size_t>(node)].Mesh;
}

json FieldJson(const OptDocument& a, const OptDocument& b, const FieldDifference& difference) {
    const FieldSchema& field = *difference.Field;
    const FieldPlace placeB = DifferencePlace(b, difference, CompareSide::kB);
    return FieldChangeJson(DifferencePlace(a, difference, CompareSide::kA),
                           FieldValueText(a, field, difference.Part, difference.OffsetA),
                           FieldValueText(b, field, difference.Part, difference.OffsetB), &placeB);
}

json RecordsJson(const OptDocument& a, const OptDocument& b, const UnmatchedRecords& records) {
    return {{"onlyIn", SideName(records.Side)}, {"nodeA", records.NodeA},
            {"nodeB", records.NodeB},           {"block", records.Block->Name},
            {"mesh", MeshOf(a, records.NodeA)}, {"region", records.Region->Name},
            {"first", records.First},           {"count", records.Count},
            {"offset", records.Offset},         {"line", DifferenceLine(a, b, records)}};
}

json UnmatchedBlockJson(const OptDocument& a, const OptDocument& b, const UnmatchedBlock& block) {
    const OptDocument& document = block.Side == CompareSide::kA ? a : b;
    const BlockEntry& entry = document.Model().BlockTable[static_cast<size_t>(block.Node)];
    return {{"onlyIn", SideName(block.Side)},
            {"node", block.Node},
            {"type", entry.Type},
            {"mesh", entry.Mesh},
            {"offset", entry.Offset},
            {"blocksBelow", block.BlocksBelow},
            {"line", DifferenceLine(a, b, block)}};
}

}  // namespace

void WriteComparisonJson(const OptDocument& a, const OptDocument& b,
                         const FileComparison& comparison,
                         const std::function<void(std::string_view)>& write) {
    const auto dump = [](const json& value) {
        return value.dump(-1, ' ', false, json::error_handler_t::replace);
    };
    const json head = {{"same", comparison.Same()},
                       {"summary", ComparisonSummary(comparison)},
                       {"problemsA", comparison.ProblemsA},
                       {"problemsB", comparison.ProblemsB},
                       {"notes", ProblemNotes(comparison)}};
    std::string text = dump(head);
    text.pop_back();  // the closing brace: the arrays follow
    const auto list = [&](const char* name, const auto& items, const auto& entry) {
        text += ",\n\"" + std::string(name) + "\": [";
        for (size_t k = 0; k < items.size(); ++k) {
            text += (k == 0 ? "\n" : ",\n") + dump(entry(a, b, items[k]));
            if (text.size() > (1 << 16)) {
                write(text);
                text.clear();
            }
        }
        text += "]";
    };
    list("fields", comparison.Fields, FieldJson);
    list("records", comparison.Records, RecordsJson);
    list("blocks", comparison.Blocks, UnmatchedBlockJson);
    text += "}\n";
    write(text);
}

}  // namespace vexlor::cli
