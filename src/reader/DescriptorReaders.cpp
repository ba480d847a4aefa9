// Readers of the non-geometry blocks: mesh descriptor (25), hardpoint (22), texture header (20),
// texture header pointer (7), and the level-of-detail table of a type-21 jump block.
#include "opt_file.h"

namespace vexlor {

namespace {
constexpr int64_t kDescriptorBytes = 72;
constexpr int64_t kHardpointBytes = 16;
constexpr int64_t kTextureNameBytes = 9;

Vec3 HardpointColour(int32_t type) {
    switch (type) {
        case 1:
        case 2:
        case 9:
            return {1.0f, 0.2f, 0.6f};
        case 3:
        case 4:
        case 10:
            return {0.2f, 1.0f, 0.6f};
        case 5:
            return {0.2f, 0.6f, 1.0f};
        case 6:
        case 11:
            return {0.2f, 0.2f, 1.0f};
        default:
            return {1.0f, 1.0f, 1.0f};
    }
}
}  // namespace

const std::string& OptFile::TypeName(const std::vector<std::string>& names, int32_t code) const {
    static const std::string kUnknown = "(unknown type)";
    if (code < 0 || static_cast<size_t>(code) >= names.size()) return kUnknown;
    return names[static_cast<size_t>(code)];
}

Vec3 OptFile::ReadVec3() {
    Vec3 v;
    v.x = stream_.ReadFloat();
    v.y = stream_.ReadFloat();
    v.z = stream_.ReadFloat();
    return v;
}

void OptFile::ReportShortPayload(std::string_view what, int64_t position, int64_t size) {
    if (stream_.BytesFrom(position) >= size || !sink_.Active()) return;
    Line() += "   !! ";
    line_ += what;
    line_ += " at offset ";
    AppendInt(position);
    line_ += " runs past the end of the file";
    Emit();
}

// "%20s %10f %4s %10f %4s %10f" of label, x, " , ", y, " , ", z: between two numbers a space,
// " , " right-aligned in four ("  , ") and a space.
void OptFile::EmitDescriptorVector(std::string_view label, const Vec3& v) {
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

void OptFile::ReadMeshDescriptorBlock(int64_t p) {
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "MESH DESCRIPTOR block (25) at offset ";
        AppendInt(p);
        Emit();
        ReportShortHeader(p);
        Emit("");
    }
    stream_.SeekOpt(p + 16);
    stream_.ReadInt32();
    const int64_t payload = AdjustOffset(stream_.ReadInt32());
    ReportShortPayload("mesh descriptor payload", payload, kDescriptorBytes);
    Spend(kDescriptorBytes);
    stream_.SeekOpt(payload);
    const int32_t type = stream_.ReadInt32();
    const int32_t unknown = stream_.ReadInt32();
    const Vec3 span = ReadVec3();
    const Vec3 centre = ReadVec3();
    const Vec3 minima = ReadVec3();
    const Vec3 maxima = ReadVec3();
    const int32_t targetGroup = stream_.ReadInt32();
    const Vec3 targetCentre = ReadVec3();

    store_.MarkerBox.Span = span;
    store_.MarkerBox.Centre = centre;
    store_.MarkerBox.Colour = {0.5f, 0.3f, 0.7f};
    if (!report) return;
    Line() += "   Mesh type is ";
    AppendInt(type);
    line_ += " : ";
    line_ += TypeName(store_.MeshTypeNames, type);
    Emit();
    Emit("");
    Line() += "   Unknown longint is ";
    AppendInt(unknown);
    Emit();
    Emit("");
    EmitDescriptorVector("X,Y,Z span is:", span);
    EmitDescriptorVector("X,Y,Z centre is:", centre);
    EmitDescriptorVector("X,Y,Z minima are:", minima);
    EmitDescriptorVector("X,Y,Z maxima are:", maxima);
    Emit("");
    Emit("");
    Line() += "Target group type is: ";
    AppendInt(targetGroup);
    Emit();
    EmitDescriptorVector("Target box centre :", targetCentre);
}

void OptFile::ReadHardpointBlock(int64_t p) {
    stream_.SeekOpt(p + 16);
    stream_.ReadInt32();
    const int64_t payload = AdjustOffset(stream_.ReadInt32());
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "HARDPOINT block (22) at offset ";
        AppendInt(p);
        Emit();
        ReportShortHeader(p);
        Emit("");
    }
    ReportShortPayload("hardpoint payload", payload, kHardpointBytes);
    Spend(kHardpointBytes);
    stream_.SeekOpt(payload);
    const int32_t type = stream_.ReadInt32();
    const Vec3 position = ReadVec3();
    if (report) {
        Line() += "   hardpoint type is ";
        AppendInt(type);
        line_ += " : ";
        line_ += TypeName(store_.HardpointTypeNames, type);
        Emit();
        Emit("");
        Line() += "   hardpoint co-ords are ";
        AppendFloats(position);
        Emit();
    }
    store_.MarkerBox.Centre = position;
    store_.HardpointMarker.Position = position;
    store_.HardpointMarker.Colour = HardpointColour(type);
    store_.HardpointMarker.Size = 5.0f;
    // The box is a 75th of the view's extent; the difference is taken in 64 bits so that no
    // extent can overflow it.
    const int64_t extent = int64_t{store_.ExtentMax} - int64_t{store_.ExtentMin};
    const auto span = static_cast<float>(static_cast<long double>(extent) * (1.0L / 75.0L));
    store_.MarkerBox.Span = {span, span, span};
    store_.MarkerBox.Colour = {0.5f, 0.0f, 0.9f};
}

// The nine characters of a texture name; zero bytes are characters too. Bytes past the end of the
// file are not there to append; a line says so.
void OptFile::ReadTextureName(int64_t position, std::string& name) {
    const int64_t held = std::min(kTextureNameBytes, stream_.BytesFrom(position));
    Spend(kTextureNameBytes);
    stream_.SeekOpt(position);
    for (int64_t i = 0; i < held; ++i) {
        uint8_t c = 0;
        stream_.Read(c);
        name.push_back(static_cast<char>(c));
    }
}

void OptFile::ReadTexHeaderBlock(int64_t p) {
    stream_.SeekOpt(p);
    const int64_t namePosition = AdjustOffset(stream_.ReadInt32());
    std::string name;
    ReadTextureName(namePosition, name);
    if (!sink_.Active()) return;
    Emit("");
    Line() += "TEX HEADER block (20) at offset ";
    AppendInt(p);
    Emit();
    Emit("");
    Line() += "Header name is ";
    line_ += name;
    Emit();
    ReportShortPayload("texture name", namePosition, kTextureNameBytes);
}

void OptFile::ReadTexHeaderPointerBlock(int64_t p) {
    stream_.SeekOpt(p + 20);
    const int64_t namePosition = AdjustOffset(stream_.ReadInt32());
    std::string name;
    ReadTextureName(namePosition, name);
    if (!sink_.Active()) return;
    Emit("");
    Line() += "TEX HEADER POINTER block (07) at offset ";
    AppendInt(p);
    Emit();
    ReportShortHeader(p);
    Emit("");
    Line() += "points to tex ";
    line_ += name;
    line_ += " at offset ";
    AppendInt(namePosition);
    Emit();
    ReportShortPayload("texture name", namePosition, kTextureNameBytes);
}

void OptFile::ListLodBlock(int64_t p) {
    stream_.SeekOpt(p + 8);
    const int32_t count = stream_.ReadInt32();
    Emit("");
    Line() += "  Jump block type 21 with ";
    AppendInt(count);
    line_ += " jumps (Levels of Detail) at offset ";
    AppendInt(p);
    Emit();
    ListSlots(p, count);

    stream_.SeekOpt(p + 16);
    const int32_t levels = stream_.ReadInt32();
    Emit("");
    Line() += "  Num detail levels is ";
    AppendInt(levels);
    line_ += " at offset ";
    AppendInt(p + 16);
    Emit();
    const int64_t distances = AdjustOffset(stream_.ReadInt32());
    const int64_t n = levels > 0 ? ElementsInFile(distances, levels, 4, "distance table") : 0;
    for (int64_t j = 0; j < n; ++j) {
        stream_.SeekOpt(distances + 4 * j);
        const float r = stream_.ReadFloat();
        Line() += "   Lo-res dist for level ";
        AppendInt(j + 1);
        line_ += " is ";
        AppendFloat(r);
        line_ += " at offset ";
        AppendInt(distances + 4 * j);
        Emit();
    }
}

}  // namespace vexlor
