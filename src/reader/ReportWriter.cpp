// The report's lines for each record a walk reads.
#include "ReportWriter.h"

#include "BlockTypes.h"
#include "FaceCorners.h"
#include "FormatSchema.h"

namespace vexlor {

namespace {
constexpr std::string_view kMeshRule = "-------------------------------------------";
constexpr std::string_view kFaceRule = "-------------------------------------------------------";
constexpr std::string_view kDetailRule =
    "============================================================";
}  // namespace

void ReportWriter::AppendInt(int64_t n) {
    NumberText::AppendInt(line_, n);
}

void ReportWriter::AppendFloats(const Vec3& v) {
    AppendFloat(v.x);
    line_ += " , ";
    AppendFloat(v.y);
    line_ += " , ";
    AppendFloat(v.z);
}

void ReportWriter::AppendIndices(const std::array<int32_t, 4>& v) {
    for (size_t c = 0; c < 4; ++c) {
        if (c > 0) line_ += " , ";
        AppendInt(v[c]);
    }
}

void ReportWriter::FileHeaderRead(const FileHeaderRecord& header) {
    Line() += "Global Offset (adjusted) =";
    AppendInt(header.GlobalOffset);
    line_ += " ,FileSize =";
    AppendInt(header.FileSize);
    Emit();
}

void ReportWriter::MeshTableRead(const FileHeaderRecord& header) {
    Line() += " NumJumps, jumpToJumps:";
    AppendInt(header.MeshCount);
    line_ += " , ";
    AppendInt(header.MeshTable);
    Emit();
}

void ReportWriter::MeshStarted(int32_t mesh, int64_t position) {
    Line() += "Mesh ";
    AppendInt(mesh);
    line_ += ": Offset is ";
    AppendInt(position);
    // The list shows the pair twice, the file once.
    sink_.ReportListLine(kMeshRule);
    sink_.ReportListLine(line_);
    Emit(kMeshRule);
    Emit();
}

void ReportWriter::JumpBlockEntered(const BlockHeader& header) {
    Line() += "  Processing Jump block with ";
    AppendInt(header.SlotCount);
    line_ += " jumps at offset ";
    AppendInt(header.Position);
    Emit();
    Line() += "      first jump address is at offset ";
    AppendInt(header.SlotTable);
    Emit();
}

void ReportWriter::EmptySlot(const SlotRecord& slot) {
    Line() += "       Jump address ";
    AppendInt(slot.Slot + 1);
    line_ += " is null";
    Emit();
}

void ReportWriter::JumpChildFound(int32_t type, int64_t position) {
    Line() += " Found JUMP BLOCK type ";
    AppendInt(type);
    line_ += " at offset ";
    AppendInt(position);
    Emit();
}

void ReportWriter::DataBlockFound(int32_t type, int64_t position) {
    if (!sink_.ToList()) return;
    Line() += "   Found DATA BLOCK type ";
    AppendInt(type);
    line_ += " at offset ";
    AppendInt(position);
    sink_.ReportListLine(line_);
}

void ReportWriter::BlockStarted(const BlockHeader& header) {
    block_ = header;
    std::string_view title;
    switch (header.Type) {
        case kTypeVertex:
            title = "VERTEX block (03) at offset ";
            break;
        case kTypeVertexNormal:
            title = "VERTEX NORMAL block (11) at offset ";
            break;
        case kTypeTextureVertex:
            title = "TEXTURE VERTEX block (13) at offset ";
            break;
        case kTypeFace:
            if (mode_ == Mode::kBlockDisplay) {
                Emit("");
                Emit("NB face numbers are from start of block only");
            }
            title = "FACE block (01) at offset ";
            break;
        case kTypeMeshDescriptor:
            title = "MESH DESCRIPTOR block (25) at offset ";
            break;
        case kTypeHardpoint:
            title = "HARDPOINT block (22) at offset ";
            break;
        case kTypeTexHeader:
            title = "TEX HEADER block (20) at offset ";
            break;
        case kTypeTexHeaderPointer:
            title = "TEX HEADER POINTER block (07) at offset ";
            break;
        default:
            return;
    }
    Emit("");
    Line() += title;
    AppendInt(header.Position);
    Emit();
}

void ReportWriter::CountRead(const BlockHeader& header) {
    std::string_view count;
    switch (header.Type) {
        case kTypeVertex:
            Line() += "Number of vertices this mesh is ";
            AppendInt(header.Count);
            Emit();
            Emit("");
            return;
        case kTypeVertexNormal:
            count = "Number of vertex normals this mesh is ";
            break;
        case kTypeTextureVertex:
            count = "Number of texture vertices this mesh is ";
            break;
        case kTypeFace:
            count = "Number of faces this block is ";
            break;
        default:
            Emit("");
            return;
    }
    Emit("");
    Line() += count;
    AppendInt(header.Count);
    Emit();
}

void ReportWriter::Vec3Lines(std::span<const Vec3> table, std::string_view before,
                             std::string_view after) {
    for (size_t i = 0; i < table.size(); ++i) {
        Line() += before;
        AppendInt(static_cast<int64_t>(i));
        line_ += after;
        AppendFloats(table[i]);
        Emit();
    }
}

void ReportWriter::VerticesRead(const WalkPlace&, const BlockHeader&,
                                std::span<const Vec3> vertices) {
    Vec3Lines(vertices, "   vertex ", " : XYZ is ");
}

void ReportWriter::VertexNormalsRead(const WalkPlace&, const BlockHeader&,
                                     std::span<const Vec3> normals) {
    Vec3Lines(normals, "   vertex normal ", " : ");
}

void ReportWriter::TextureVerticesRead(const WalkPlace&, const BlockHeader&,
                                       std::span<const TextureVertex> vertices) {
    for (size_t i = 0; i < vertices.size(); ++i) {
        Line() += "   texture vertex ";
        AppendInt(static_cast<int64_t>(i));
        line_ += " : ";
        AppendFloat(vertices[i].u);
        line_ += " , ";
        AppendFloat(vertices[i].v);
        Emit();
    }
}

void ReportWriter::FacesRead(const WalkPlace& place, int64_t, const MeshTables& tables,
                             int64_t first, int64_t count) {
    for (int64_t k = first; k < first + count; ++k)
        FaceLines(tables, k);
    if (mode_ == Mode::kBlockDisplay) return;
    for (int64_t k = first; k < first + count; ++k)
        FaceDetailLines(place, tables, k);
}

void ReportWriter::FaceLines(const MeshTables& tables, int64_t k) {
    const FaceRecord& f = tables.FaceTable[static_cast<size_t>(k)];
    Emit(kFaceRule);
    Line() += "FACE ";
    AppendInt(k);
    Emit();
    Emit("");
    const std::pair<std::string_view, const std::array<int32_t, 4>*> groups[] = {
        {" vert indices are      ", &f.VertexIndex},
        {" edge indices are      ", &f.EdgeIndex},
        {" tex.vert indices are  ", &f.TextureVertexIndex},
        {" vert norm indices are ", &f.VertexNormalIndex}};
    for (const auto& [caption, values] : groups) {
        Line() += "   face ";
        AppendInt(k);
        line_ += caption;
        AppendIndices(*values);
        Emit();
    }
    Emit("");
    Line() += "  Face Normal is: ";
    AppendFloats(f.FaceNormal);
    Emit();
    Emit("");
    Line() += "  Softvector 1 is: ";
    AppendFloats(f.SoftVector1);
    Emit();
    Line() += "  Softvector 2 is: ";
    AppendFloats(f.SoftVector2);
    Emit();
    Emit("");
}

// The face resolved against the mesh tables: its corners' coordinates and vertex normals.
void ReportWriter::FaceDetailLines(const WalkPlace& place, const MeshTables& tables, int64_t k) {
    const FaceRecord& f = tables.FaceTable[static_cast<size_t>(k)];
    Emit("");
    Emit(kDetailRule);
    Line() += "MESH ";
    AppendInt(place.mesh);
    line_ += ": Texture ??,  FACE ";
    AppendInt(k);
    line_ += " DETAILS:";
    Emit();
    Emit("");
    Line() += "  vertex indices are ";
    AppendIndices(f.VertexIndex);
    Emit();
    Line() += "   face ";
    AppendInt(k);
    line_ += " vert indices are      ";
    AppendIndices(f.VertexIndex);
    Emit();
    CornerLines(tables, k, CornerTable::kVertices);
    Emit("");
    Line() += "  Face Normal is: ";
    AppendFloats(f.FaceNormal);
    Emit();
    Emit("");
    Line() += "  vertex normal indices are ";
    AppendIndices(f.VertexNormalIndex);
    Emit();
    CornerLines(tables, k, CornerTable::kVertexNormals);
}

// A coordinate line for each corner whose index names an entry of its table; a problem line for
// each whose index names none.
void ReportWriter::CornerLines(const MeshTables& tables, int64_t k, CornerTable which) {
    const FaceRecord& f = tables.FaceTable[static_cast<size_t>(k)];
    const bool vertices = which == CornerTable::kVertices;
    const std::vector<Vec3>& table = vertices ? tables.VertexTable : tables.VertexNormalTable;
    const std::array<int32_t, 4>& indices = vertices ? f.VertexIndex : f.VertexNormalIndex;
    for (size_t c = 0; c < 4; ++c) {
        switch (StateOf(which, c, indices[c], table.size())) {
            case IndexState::kNone:
                break;
            case IndexState::kNamesEntry: {
                const Vec3& v = table[static_cast<size_t>(indices[c])];
                Line();
                sink_.Numbers().AppendTriple(line_, v.x, v.y, v.z);
                Emit();
                break;
            }
            case IndexState::kOutsideTable:
                AppendOutsideIndexLine(Line(), which, c, indices[c], table.size());
                Emit();
                break;
        }
    }
}

void ReportWriter::HardpointRead(const WalkPlace&, int64_t, const HardpointRecord& hardpoint) {
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

// "%20s %10f %4s %10f %4s %10f" of label, x, " , ", y, " , ", z: between two numbers a space,
// " , " right-aligned in four ("  , ") and a space.
void ReportWriter::DescriptorVector(std::string_view label, const Vec3& v) {
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

void ReportWriter::DescriptorRead(const WalkPlace&, int64_t, const MeshDescriptorRecord& d) {
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
    DescriptorVector("X,Y,Z span is:", d.Span);
    DescriptorVector("X,Y,Z centre is:", d.Centre);
    DescriptorVector("X,Y,Z minima are:", d.Minima);
    DescriptorVector("X,Y,Z maxima are:", d.Maxima);
    Emit("");
    Emit("");
    Line() += "Target group type is: ";
    AppendInt(d.TargetGroup);
    Emit();
    DescriptorVector("Target box centre :", d.TargetCentre);
}

void ReportWriter::TextureNamed(const WalkPlace&, int64_t, const std::string& name) {
    Emit("");
    if (block_.Type == kTypeTexHeader) {
        Line() += "Header name is ";
        line_ += name;
    } else {
        Line() += "points to tex ";
        line_ += name;
        line_ += " at offset ";
        AppendInt(block_.Payload);
    }
    Emit();
}

void ReportWriter::JumpBlockListed(const BlockHeader& header) {
    Line() += "  Jump block with ";
    AppendInt(header.SlotCount);
    line_ += " jumps at offset ";
    AppendInt(header.Position);
    Emit();
}

void ReportWriter::LodBlockListed(const BlockHeader& header) {
    Emit("");
    Line() += "  Jump block type 21 with ";
    AppendInt(header.SlotCount);
    line_ += " jumps (Levels of Detail) at offset ";
    AppendInt(header.Position);
    Emit();
}

void ReportWriter::SlotListed(const SlotRecord& slot) {
    Line() += "       Jump pointer ";
    AppendInt(slot.Slot + 1);
    line_ += " at offset ";
    AppendInt(slot.Position);
    if (slot.Stored == 0) {
        line_ += " is null";
    } else {
        line_ += " is to offset ";
        AppendInt(slot.Target);
    }
    Emit();
}

void ReportWriter::LevelsCounted(const BlockHeader& header) {
    Emit("");
    Line() += "  Num detail levels is ";
    AppendInt(header.Count);
    line_ += " at offset ";
    AppendInt(header.Position + kCountField);
    Emit();
}

void ReportWriter::LevelListed(const LevelRecord& level) {
    Line() += "   Lo-res dist for level ";
    AppendInt(level.Level + 1);
    line_ += " is ";
    AppendFloat(level.Distance);
    line_ += " at offset ";
    AppendInt(level.Position);
    Emit();
}

}  // namespace vexlor
