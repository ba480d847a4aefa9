// The report's lines for each record a walk reads.
#include "reader/ReportWriter.h"

#include "reader/BlockTypes.h"
#include "reader/FaceCorners.h"
#include "reader/FormatTables.h"

namespace vexlor {

namespace {
constexpr std::string_view kMeshRule = "-------------------------------------------";
constexpr std::string_view kFaceRule = "-------------------------------------------------------";
constexpr std::string_view kDetailRule =
    "============================================================";

// What each line of a face's lines shows, in the order FaceLines writes them.
constexpr int32_t kIndices = format::kFaceIndicesRegion;
constexpr int32_t kNormals = RegionIndex(format::kFaceRegions, "faceNormals");
constexpr int32_t kSofts = RegionIndex(format::kFaceRegions, "softVectors");
constexpr LineShows kFaceLines[] = {
    {kIndices, -1},
    {kIndices, -1},
    {kIndices, -1},
    {kIndices, FieldIndex(format::kFaceIndices, "vertexIndices")},
    {kIndices, FieldIndex(format::kFaceIndices, "edgeIndices")},
    {kIndices, FieldIndex(format::kFaceIndices, "textureVertexIndices")},
    {kIndices, FieldIndex(format::kFaceIndices, "vertexNormalIndices")},
    {kIndices, -1},
    {kNormals, 0},
    {kIndices, -1},
    {kSofts, FieldIndex(format::kSoftVectors, "softVector1")},
    {kSofts, FieldIndex(format::kSoftVectors, "softVector2")},
    {kIndices, -1}};
constexpr int32_t kHardpoint = RegionIndex(format::kHardpointRegions, "hardpoint");
constexpr LineShows kHardpointLines[] = {{kHardpoint, FieldIndex(format::kHardpoint, "type")},
                                         {kHardpoint, -1},
                                         {kHardpoint, FieldIndex(format::kHardpoint, "position")}};
constexpr int32_t kDescriptor = RegionIndex(format::kDescriptorRegions, "descriptor");
constexpr LineShows DescriptorLine(std::string_view field) {
    return {kDescriptor, field.empty() ? -1 : FieldIndex(format::kDescriptor, field)};
}
constexpr LineShows kDescriptorLines[] = {DescriptorLine("meshType"),
                                          DescriptorLine(""),
                                          DescriptorLine("unknown"),
                                          DescriptorLine(""),
                                          DescriptorLine("span"),
                                          DescriptorLine("centre"),
                                          DescriptorLine("minima"),
                                          DescriptorLine("maxima"),
                                          DescriptorLine(""),
                                          DescriptorLine(""),
                                          DescriptorLine("targetGroup"),
                                          DescriptorLine("targetCentre")};

// The count line shows the header's count field, the same field of every block's header.
constexpr int32_t kCountFieldIndex = 4;
constexpr bool CountFieldsAgree() {
    for (const BlockSchema& block : format::kBlockSchemas)
        if (block.Regions.front().Fields[kCountFieldIndex].Offset != kCountField) return false;
    return true;
}
static_assert(CountFieldsAgree());
constexpr LineShows kCountLine[] = {{0, kCountFieldIndex}};
}  // namespace

void ReportWriter::Note(int64_t firstLine, int32_t region, int64_t first, int64_t records,
                        std::span<const LineShows> lines, int64_t linesPerRecord) {
    if (map_ == nullptr || records <= 0) return;
    ReportLineMap::Run run;
    run.FirstLine = firstLine;
    run.Records = records;
    run.First = noted_;
    run.First.Region = region;
    run.First.Record = first;
    run.First.Field = -1;
    run.Lines = lines;
    run.LinesPerRecord = lines.empty() ? linesPerRecord : static_cast<int64_t>(lines.size());
    map_->Add(run);
}

void ReportWriter::AppendInt(int64_t n) {
    NumberText::AppendInt(line_, n);
}

void ReportWriter::AppendFloats(const Vec3& v) {
    AppendFloat(v.X);
    line_ += " , ";
    AppendFloat(v.Y);
    line_ += " , ";
    AppendFloat(v.Z);
}

void ReportWriter::AppendIndices(const std::array<int32_t, 4>& v) {
    for (size_t c = 0; c < 4; ++c) {
        if (c > 0) line_ += " , ";
        AppendInt(v[c]);
    }
}

void ReportWriter::FileHeaderRead(const FileHeaderRecord& header) {
    Say("Global Offset (adjusted) =", header.GlobalOffset, " ,FileSize =", header.FileSize);
}

void ReportWriter::MeshTableRead(const FileHeaderRecord& header) {
    Say(" NumJumps, jumpToJumps:", header.MeshCount, " , ", header.MeshTable);
}

void ReportWriter::MeshStarted(int32_t mesh, int64_t position) {
    Line() += "Mesh ";
    Append(mesh);
    line_ += ": Offset is ";
    Append(position);
    // The list shows the pair twice, the file once.
    sink_.ReportListLine(kMeshRule);
    sink_.ReportListLine(line_);
    Emit(kMeshRule);
    Emit();
}

void ReportWriter::JumpBlockEntered(const BlockHeader& header) {
    Say("  Processing Jump block with ", header.SlotCount, " jumps at offset ", header.Position);
    Say("      first jump address is at offset ", header.SlotTable);
}

void ReportWriter::EmptySlot(const SlotRecord& slot) {
    Say("       Jump address ", slot.Slot + 1, " is null");
}

void ReportWriter::JumpChildFound(int32_t type, int64_t position) {
    Say(" Found JUMP BLOCK type ", type, " at offset ", position);
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
    NoteBlock(header.Position, header.Type);
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
    Note(sink_.LineCount(), 0, 0, 1);
    Say(title, header.Position);
}

void ReportWriter::CountRead(const BlockHeader& header) {
    std::string_view count;
    if (map_ != nullptr) {
        // The count line shows the header's count field; it comes first for vertices only.
        const int64_t line = sink_.LineCount() + (header.Type == kTypeVertex ? 0 : 1);
        if (header.Type == kTypeVertex || header.Type == kTypeVertexNormal ||
            header.Type == kTypeTextureVertex || header.Type == kTypeFace)
            Note(line, 0, 0, 1, kCountLine);
    }
    switch (header.Type) {
        case kTypeVertex:
            Say("Number of vertices this mesh is ", header.Count);
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
    Say(count, header.Count);
}

void ReportWriter::VectorLine(std::string_view caption, const Vec3& v) {
    Line() += caption;
    AppendFloats(v);
    Emit();
}

void ReportWriter::Vec3Lines(std::span<const Vec3> table, std::string_view before,
                             std::string_view after) {
    Note(sink_.LineCount(), 1, 0, static_cast<int64_t>(table.size()));
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
    Note(sink_.LineCount(), 1, 0, static_cast<int64_t>(vertices.size()));
    for (size_t i = 0; i < vertices.size(); ++i) {
        Line() += "   texture vertex ";
        AppendInt(static_cast<int64_t>(i));
        line_ += " : ";
        AppendFloat(vertices[i].U);
        line_ += " , ";
        AppendFloat(vertices[i].V);
        Emit();
    }
}

void ReportWriter::FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                             int64_t first, int64_t count) {
    NoteBlock(position, kTypeFace);
    Note(sink_.LineCount(), kIndices, 0, count, kFaceLines);
    for (int64_t k = first; k < first + count; ++k)
        FaceLines(tables, k);
    if (mode_ == Mode::kBlockDisplay) return;
    for (int64_t k = first; k < first + count; ++k) {
        const int64_t line = sink_.LineCount();
        FaceDetailLines(place, tables, k);
        Note(line, kIndices, k - first, 1, {}, sink_.LineCount() - line);
    }
}

void ReportWriter::FaceLines(const MeshTables& tables, int64_t k) {
    const FaceRecord& f = tables.FaceTable[static_cast<size_t>(k)];
    Emit(kFaceRule);
    Say("FACE ", k);
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
    VectorLine("  Face Normal is: ", f.FaceNormal);
    Emit("");
    VectorLine("  Softvector 1 is: ", f.SoftVector1);
    VectorLine("  Softvector 2 is: ", f.SoftVector2);
    Emit("");
}

// The face resolved against the mesh tables: its corners' coordinates and vertex normals.
void ReportWriter::FaceDetailLines(const WalkPlace& place, const MeshTables& tables, int64_t k) {
    const FaceRecord& f = tables.FaceTable[static_cast<size_t>(k)];
    Emit("");
    Emit(kDetailRule);
    Say("MESH ", place.Mesh, ": Texture ??,  FACE ", k, " DETAILS:");
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
    VectorLine("  Face Normal is: ", f.FaceNormal);
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
    const size_t size = vertices ? tables.VertexTableSize() : tables.VertexNormalTableSize();
    const std::array<int32_t, 4>& indices = vertices ? f.VertexIndex : f.VertexNormalIndex;
    for (size_t c = 0; c < 4; ++c) {
        switch (StateOf(which, c, indices[c], size)) {
            case IndexState::kNone:
                break;
            case IndexState::kNamesEntry: {
                const Vec3 v =
                    vertices ? tables.VertexAt(indices[c]) : tables.VertexNormalAt(indices[c]);
                Line();
                sink_.Numbers().AppendTriple(line_, v.X, v.Y, v.Z);
                Emit();
                break;
            }
            case IndexState::kOutsideTable:
                AppendOutsideIndexLine(Line(), which, c, indices[c], size);
                Emit();
                break;
        }
    }
}

void ReportWriter::HardpointRead(const WalkPlace&, int64_t, const HardpointRecord& hardpoint) {
    Note(sink_.LineCount(), kHardpoint, 0, 1, kHardpointLines);
    TypeLine("   hardpoint type is ", hardpoint.Type, names_.HardpointTypeNames);
    Emit("");
    VectorLine("   hardpoint co-ords are ", hardpoint.Position);
}

void ReportWriter::TypeLine(std::string_view caption, int32_t code,
                            const std::vector<std::string>& names) {
    Line() += caption;
    AppendInt(code);
    line_ += " : ";
    line_ += TypeNameTables::NameOf(names, code);
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
    numbers.AppendFixed(line_, v.X);
    line_ += kSeparator;
    numbers.AppendFixed(line_, v.Y);
    line_ += kSeparator;
    numbers.AppendFixed(line_, v.Z);
    Emit();
}

void ReportWriter::DescriptorRead(const WalkPlace&, int64_t, const MeshDescriptorRecord& d) {
    Note(sink_.LineCount(), kDescriptor, 0, 1, kDescriptorLines);
    TypeLine("   Mesh type is ", d.MeshType, names_.MeshTypeNames);
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
    Note(sink_.LineCount(), RegionIndex(SchemaOf(block_.Type).Regions, "textureName"), 0, 1);
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
    // The root lists the mesh jump table, which belongs to the file header.
    NoteBlock(header.Position, header.Position == kRootBlockOffset ? kTypeFileHeader : kTypeJump);
    Say("  Jump block with ", header.SlotCount, " jumps at offset ", header.Position);
}

void ReportWriter::LodBlockListed(const BlockHeader& header) {
    NoteBlock(header.Position, kTypeLod);
    Emit("");
    Say("  Jump block type 21 with ", header.SlotCount, " jumps (Levels of Detail) at offset ",
        header.Position);
}

void ReportWriter::SlotListed(const SlotRecord& slot) {
    // Region 1 is the slot table of every jump block and the mesh table of the file header.
    Note(sink_.LineCount(), 1, slot.Slot, 1);
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
    Say("  Num detail levels is ", header.Count, " at offset ", header.Position + kCountField);
}

void ReportWriter::LevelListed(const LevelRecord& level) {
    Note(sink_.LineCount(), RegionIndex(format::kLodRegions, "distances"), level.Level, 1);
    Line() += "   Lo-res dist for level ";
    AppendInt(level.Level + 1);
    line_ += " is ";
    AppendFloat(level.Distance);
    line_ += " at offset ";
    AppendInt(level.Position);
    Emit();
}

}  // namespace vexlor
