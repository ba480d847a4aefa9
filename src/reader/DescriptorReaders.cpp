// Readers of the non-geometry blocks: mesh descriptor (25), hardpoint (22), texture header (20),
// texture header pointer (7), and the level-of-detail table of a type-21 jump block.
#include <algorithm>

#include "FormatTables.h"
#include "OptWalker.h"

namespace vexlor {

namespace {
constexpr const RegionSchema& kDescriptor = format::kDescriptor;
constexpr const RegionSchema& kHardpoint = format::kHardpoint;
constexpr int64_t kDescriptorBytes = kDescriptor.RecordSize;
constexpr int64_t kHardpointBytes = kHardpoint.RecordSize;
constexpr int64_t kTextureNameBytes = format::kTextureNameSize;
constexpr int64_t At(const RegionSchema& region, std::string_view field) {
    return FieldOf(region, field).Offset;
}
}  // namespace

void OptWalker::ReportShortPayload(std::string_view what, int64_t position, int64_t size) {
    if (stream_.BytesFrom(position) >= size || !Noting()) return;
    Line() += "   !! ";
    line_ += what;
    line_ += " at offset ";
    AppendInt(position);
    line_ += " runs past the end of the file";
    EmitProblem(ProblemKind::ShortPayload, currentBlock_, position);
}

// "%20s %10f %4s %10f %4s %10f" of label, x, " , ", y, " , ", z: between two numbers a space,
// " , " right-aligned in four ("  , ") and a space.
void OptWalker::EmitDescriptorVector(std::string_view label, const Vec3& v) {
    constexpr std::string_view kSeparator = "   ,  ";
    const NumberText& numbers = sink_.Numbers();
    Line();
    AppendRightAligned(line_, label, 20);
    line_ += ' ';
    numbers.AppendFixed(line_, v.x);
    line_ += kSeparator;
    numbers.AppendFixed(line_, v.y);
    line_ += kSeparator;
    numbers.AppendFixed(line_, v.z);
    Emit();
}

MeshDescriptorRecord OptWalker::ReadMeshDescriptorBlock(int64_t p) {
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "MESH DESCRIPTOR block (25) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (report) Emit("");
    const int64_t payload = AdjustOffset(stream_.Int32At(p + kDescriptor.AnchorField));
    ReportShortPayload("mesh descriptor payload", payload, kDescriptorBytes);
    Spend(kDescriptorBytes);
    MeshDescriptorRecord d;
    d.MeshType = stream_.Int32At(payload + At(kDescriptor, "meshType"));
    d.Unknown = stream_.Int32At(payload + At(kDescriptor, "unknown"));
    d.Span = stream_.Vec3At(payload + At(kDescriptor, "span"));
    d.Centre = stream_.Vec3At(payload + At(kDescriptor, "centre"));
    d.Minima = stream_.Vec3At(payload + At(kDescriptor, "minima"));
    d.Maxima = stream_.Vec3At(payload + At(kDescriptor, "maxima"));
    d.TargetGroup = stream_.Int32At(payload + At(kDescriptor, "targetGroup"));
    d.TargetCentre = stream_.Vec3At(payload + At(kDescriptor, "targetCentre"));
    if (!report) return d;
    Line() += "   Mesh type is ";
    AppendInt(d.MeshType);
    line_ += " : ";
    line_ += TypeNameTables::NameOf(names_.MeshTypeNames, d.MeshType);
    Emit();
    Emit("");
    Line() += "   Unknown longint is ";
    AppendInt(d.Unknown);
    Emit();
    Emit("");
    EmitDescriptorVector("X,Y,Z span is:", d.Span);
    EmitDescriptorVector("X,Y,Z centre is:", d.Centre);
    EmitDescriptorVector("X,Y,Z minima are:", d.Minima);
    EmitDescriptorVector("X,Y,Z maxima are:", d.Maxima);
    Emit("");
    Emit("");
    Line() += "Target group type is: ";
    AppendInt(d.TargetGroup);
    Emit();
    EmitDescriptorVector("Target box centre :", d.TargetCentre);
    return d;
}

HardpointRecord OptWalker::ReadHardpointBlock(int64_t p) {
    const int64_t payload = AdjustOffset(stream_.Int32At(p + kHardpoint.AnchorField));
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "HARDPOINT block (22) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (report) Emit("");
    ReportShortPayload("hardpoint payload", payload, kHardpointBytes);
    Spend(kHardpointBytes);
    HardpointRecord hardpoint;
    hardpoint.Type = stream_.Int32At(payload + At(kHardpoint, "type"));
    hardpoint.Position = stream_.Vec3At(payload + At(kHardpoint, "position"));
    if (report) {
        Line() += "   hardpoint type is ";
        AppendInt(hardpoint.Type);
        line_ += " : ";
        line_ += TypeNameTables::NameOf(names_.HardpointTypeNames, hardpoint.Type);
        Emit();
        Emit("");
        Line() += "   hardpoint co-ords are ";
        AppendFloats(hardpoint.Position);
        Emit();
    }
    return hardpoint;
}

// The nine characters of a texture name; zero bytes are characters too. Bytes past the end of the
// file are not there to append; a line says so.
void OptWalker::ReadTextureName(int64_t position, std::string& name) {
    const int64_t held = std::min(kTextureNameBytes, stream_.BytesFrom(position));
    Spend(kTextureNameBytes);
    for (int64_t i = 0; i < held; ++i)
        name.push_back(static_cast<char>(stream_.ByteAt(position + i)));
}

std::string OptWalker::ReadTexHeaderBlock(int64_t p) {
    const int64_t namePosition =
        AdjustOffset(stream_.Int32At(p + format::kTexHeaderName.AnchorField));
    std::string name;
    ReadTextureName(namePosition, name);
    if (sink_.Active()) {
        Emit("");
        Line() += "TEX HEADER block (20) at offset ";
        AppendInt(p);
        Emit();
        Emit("");
        Line() += "Header name is ";
        line_ += name;
        Emit();
    }
    ReportShortPayload("texture name", namePosition, kTextureNameBytes);
    return name;
}

std::string OptWalker::ReadTexHeaderPointerBlock(int64_t p) {
    const int64_t namePosition =
        AdjustOffset(stream_.Int32At(p + format::kTexPointerName.AnchorField));
    std::string name;
    ReadTextureName(namePosition, name);
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "TEX HEADER POINTER block (07) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (report) {
        Emit("");
        Line() += "points to tex ";
        line_ += name;
        line_ += " at offset ";
        AppendInt(namePosition);
        Emit();
    }
    ReportShortPayload("texture name", namePosition, kTextureNameBytes);
    return name;
}

std::vector<float> OptWalker::ReadLodDistances(int64_t p) {
    const int32_t levels = stream_.Int32At(p + format::kDistances.CountField);
    const int64_t position = AdjustOffset(stream_.Int32At(p + format::kDistances.AnchorField));
    constexpr int64_t kSize = format::kDistances.RecordSize;
    const int64_t held =
        levels > 0 ? std::min<int64_t>(levels, stream_.BytesFrom(position) / kSize) : 0;
    std::vector<float> distances;
    distances.reserve(static_cast<size_t>(held));
    for (int64_t j = 0; j < held; ++j)
        distances.push_back(stream_.SingleAt(position + kSize * j));
    return distances;
}

void OptWalker::ListLodBlock(int64_t p) {
    const int32_t count = stream_.Int32At(p + kSlotCountField);
    Emit("");
    Line() += "  Jump block type 21 with ";
    AppendInt(count);
    line_ += " jumps (Levels of Detail) at offset ";
    AppendInt(p);
    Emit();
    ListSlots(p, count);

    const int64_t levelsField = p + format::kDistances.CountField;
    const int32_t levels = stream_.Int32At(levelsField);
    Emit("");
    Line() += "  Num detail levels is ";
    AppendInt(levels);
    line_ += " at offset ";
    AppendInt(levelsField);
    Emit();
    const int64_t distances = AdjustOffset(stream_.Int32At(p + format::kDistances.AnchorField));
    constexpr int64_t kSize = format::kDistances.RecordSize;
    const int64_t n = levels > 0 ? ElementsInFile(distances, levels, kSize, "distance table") : 0;
    for (int64_t j = 0; j < n; ++j) {
        const float r = stream_.SingleAt(distances + kSize * j);
        Line() += "   Lo-res dist for level ";
        AppendInt(j + 1);
        line_ += " is ";
        AppendFloat(r);
        line_ += " at offset ";
        AppendInt(distances + kSize * j);
        Emit();
    }
}

}  // namespace vexlor
