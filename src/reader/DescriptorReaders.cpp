// Readers of the non-geometry blocks: mesh descriptor (25), hardpoint (22), texture header (20),
// texture header pointer (7), and the level-of-detail table of a type-21 jump block.
#include <algorithm>

#include "reader/FormatTables.h"
#include "reader/OptWalker.h"

namespace vexlor {

namespace {
constexpr const RegionSchema& kDescriptor = format::kDescriptor;
constexpr const RegionSchema& kHardpoint = format::kHardpoint;
constexpr const RegionSchema& kDistances = format::kDistances;
constexpr int64_t kTextureNameBytes = format::kTextureNameSize;
constexpr int64_t At(const RegionSchema& region, std::string_view field) {
    return FieldOf(region, field).Offset;
}
static_assert(kDescriptor.AnchorField == kPayloadField && kHardpoint.AnchorField == kPayloadField &&
              format::kTexPointerName.AnchorField == kPayloadField &&
              format::kTexHeaderName.AnchorField == kBlockIdField &&
              kDistances.AnchorField == kPayloadField && kDistances.CountField == kCountField);
}  // namespace

void OptWalker::ReportShortPayload(std::string_view what, int64_t position, int64_t size) {
    if (stream_.BytesFrom(position) >= size || !noting_) return;
    Line() += "   !! ";
    line_ += what;
    line_ += " at offset ";
    AppendInt(position);
    line_ += " runs past the end of the file";
    TellProblem(ProblemKind::ShortPayload, currentBlock_, position);
}

MeshDescriptorRecord OptWalker::ReadMeshDescriptorBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.CountRead(header); });
    const int64_t payload = header.Payload;
    ReportShortPayload("mesh descriptor payload", payload, kDescriptor.RecordSize);
    Spend(kDescriptor.RecordSize);
    MeshDescriptorRecord d;
    d.MeshType = stream_.Int32At(payload + At(kDescriptor, "meshType"));
    d.Unknown = stream_.Int32At(payload + At(kDescriptor, "unknown"));
    d.Span = stream_.Vec3At(payload + At(kDescriptor, "span"));
    d.Centre = stream_.Vec3At(payload + At(kDescriptor, "centre"));
    d.Minima = stream_.Vec3At(payload + At(kDescriptor, "minima"));
    d.Maxima = stream_.Vec3At(payload + At(kDescriptor, "maxima"));
    d.TargetGroup = stream_.Int32At(payload + At(kDescriptor, "targetGroup"));
    d.TargetCentre = stream_.Vec3At(payload + At(kDescriptor, "targetCentre"));
    Tell([&](WalkObserver& o) { o.DescriptorRead(Place(), p, d); });
    return d;
}

HardpointRecord OptWalker::ReadHardpointBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.CountRead(header); });
    const int64_t payload = header.Payload;
    ReportShortPayload("hardpoint payload", payload, kHardpoint.RecordSize);
    Spend(kHardpoint.RecordSize);
    HardpointRecord hardpoint;
    hardpoint.Type = stream_.Int32At(payload + At(kHardpoint, "type"));
    hardpoint.Position = stream_.Vec3At(payload + At(kHardpoint, "position"));
    Tell([&](WalkObserver& o) { o.HardpointRead(Place(), p, hardpoint); });
    return hardpoint;
}

// The nine characters of a texture name; zero bytes are characters too. Bytes past the end of the
// file are not there to append; a problem says so.
std::string OptWalker::ReadTextureName(int64_t position) {
    const int64_t held = std::min(kTextureNameBytes, stream_.BytesFrom(position));
    Spend(kTextureNameBytes);
    std::string name;
    for (int64_t i = 0; i < held; ++i)
        name.push_back(static_cast<char>(stream_.ByteAt(position + i)));
    return name;
}

void OptWalker::ReadTexHeaderBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    const int64_t namePosition = AdjustOffset(header.Id);
    const std::string name = ReadTextureName(namePosition);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    Tell([&](WalkObserver& o) { o.TextureNamed(Place(), p, name); });
    ReportShortPayload("texture name", namePosition, kTextureNameBytes);
}

void OptWalker::ReadTexHeaderPointerBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    const std::string name = ReadTextureName(header.Payload);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.TextureNamed(Place(), p, name); });
    ReportShortPayload("texture name", header.Payload, kTextureNameBytes);
}

std::vector<float> OptWalker::ReadLodDistances(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    constexpr int64_t kSize = kDistances.RecordSize;
    const int64_t held = Afford(
        ListedLeads(header.Count > 0
                        ? std::min<int64_t>(header.Count, stream_.BytesFrom(header.Payload) / kSize)
                        : 0),
        kSize);
    std::vector<float> distances;
    distances.reserve(static_cast<size_t>(held));
    for (int64_t j = 0; j < held; ++j)
        distances.push_back(stream_.SingleAt(header.Payload + kSize * j));
    return distances;
}

void OptWalker::ListLodBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.LodBlockListed(header); });
    ListSlots(header);
    Tell([&](WalkObserver& o) { o.LevelsCounted(header); });
    constexpr int64_t kSize = kDistances.RecordSize;
    const int64_t n = Afford(
        ListedLeads(header.Count > 0
                        ? ElementsInFile(header.Payload, header.Count, kSize, "distance table")
                        : 0),
        kSize);
    for (int64_t j = 0; j < n; ++j) {
        LevelRecord level{j, header.Payload + kSize * j, 0.0f};
        level.Distance = stream_.SingleAt(level.Position);
        Tell([&](WalkObserver& o) { o.LevelListed(level); });
    }
}

}  // namespace vexlor
