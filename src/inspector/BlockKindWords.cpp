// Tree nodes' blocks in words.
#include "inspector/BlockKindWords.h"

#include <QStringList>
#include <algorithm>
#include <optional>

#include "inspector/ReportListModel.h"
#include "reader/BlockRegions.h"
#include "reader/BlockTypes.h"

namespace vexlor::inspector {

namespace {

QString Count(const std::optional<int32_t>& count) {
    return count ? QString::number(*count) : QStringLiteral("?");
}

QString TypeName(const std::vector<std::string>& names, const std::optional<int32_t>& code) {
    if (!code) return QStringLiteral("type cut off");
    const std::string& name = TypeNameTables::NameOf(names, *code);
    if (name.empty()) return QStringLiteral("type %1").arg(*code);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The first field of the block's last region (its texture name, hardpoint, mesh descriptor), when
// the file holds the stored offset that leads there.
struct LastRecord {
    std::optional<int64_t> Position;
    const FieldSchema* Field = nullptr;
};
LastRecord LastRecordOf(const BlockRegions& regions) {
    const RegionPlace& last = regions.Regions().back();
    if (!last.Located) return {std::nullopt, &last.Schema->Fields.front()};
    return {last.Origin, &last.Schema->Fields.front()};
}

QString TextureName(const OptStream& stream, const BlockRegions& regions) {
    const LastRecord name = LastRecordOf(regions);
    if (!name.Position) return {};
    return ReportListModel::DisplayText(stream.TextAt(*name.Position, name.Field->Size));
}

std::optional<int32_t> TypeCode(const OptStream& stream, const BlockRegions& regions) {
    const LastRecord record = LastRecordOf(regions);
    if (!record.Position) return std::nullopt;
    return stream.WholeInt32At(*record.Position + record.Field->Offset);
}

}  // namespace

QString BlockKindWords(const OptStream& stream, const OptModel& model, int32_t node,
                       const TypeNameTables& names) {
    if (node < 0 || static_cast<size_t>(node) >= model.BlockTable.size() ||
        node >= model.Tree.Count())
        return {};
    const BlockEntry& entry = model.BlockTable[static_cast<size_t>(node)];
    const int64_t p = entry.Offset;
    const BlockRegions regions = LocateBlock(stream, model.GlobalOffset, p, entry.Type);
    const QString count = Count(stream.WholeInt32At(p + kCountField));
    if (node == 0)
        return QStringLiteral("file header and mesh jump table, %1 meshes")
            .arg(model.Meshes.DeclaredCount);
    const QString slotCount = Count(stream.WholeInt32At(p + kSlotCountField));
    if (model.Tree.Node(node).Parent == 0)
        return QStringLiteral("mesh %1: its jump block, %2 slots").arg(entry.Mesh).arg(slotCount);
    switch (entry.Type) {
        case kTypeJump:
            return QStringLiteral("jump block, %1 slots").arg(slotCount);
        case kTypeLod:
            return QStringLiteral("level-of-detail block, %1 levels").arg(slotCount);
        case kTypeFgTextures:
            return QStringLiteral("texture jump block (FG textures), %1 slots").arg(slotCount);
        case kTypeTexHeader:
            return QStringLiteral("texture header: ") + TextureName(stream, regions);
        case kTypeTexHeaderPointer:
            return QStringLiteral("texture header pointer: ") + TextureName(stream, regions);
        case kTypeVertex:
            return QStringLiteral("vertices, %1 of them").arg(count);
        case kTypeVertexNormal:
            return QStringLiteral("vertex normals, %1 of them").arg(count);
        case kTypeTextureVertex:
            return QStringLiteral("texture vertices, %1 of them").arg(count);
        case kTypeFace:
            return QStringLiteral("faces, %1 of them").arg(count);
        case kTypeHardpoint:
            return QStringLiteral("hardpoint: ") +
                   TypeName(names.HardpointTypeNames, TypeCode(stream, regions));
        case kTypeMeshDescriptor:
            return QStringLiteral("mesh descriptor: ") +
                   TypeName(names.MeshTypeNames, TypeCode(stream, regions));
        default:
            return QStringLiteral("block of unknown type %1").arg(entry.Type);
    }
}

QString ProblemsOfNode(const OptModel& model, int32_t node, int most) {
    if (node < 0 || static_cast<size_t>(node) >= model.BlockTable.size()) return {};
    const int64_t block = model.BlockTable[static_cast<size_t>(node)].Offset;
    if (!model.Problems.BlockHasProblems(block)) return {};
    QStringList lines;
    int64_t found = 0;
    for (const WalkProblem& problem : model.Problems.Kept()) {
        if (problem.Block != block) continue;
        if (++found <= most) lines << ReportListModel::DisplayText(problem.Text).trimmed();
    }
    if (found > most) lines << QStringLiteral("and %1 more").arg(found - most);
    if (lines.isEmpty())
        lines
            << QStringLiteral("problems beyond the first %1 of the file").arg(WalkProblems::kKept);
    return lines.join(u'\n');
}

}  // namespace vexlor::inspector
