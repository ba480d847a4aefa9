// Readers of the geometry blocks: vertices (3), vertex normals (11), texture vertices (13),
// faces (1) and the face detail pass that resolves faces for the draw tables and the PRJ file.
#include <algorithm>
#include <bit>

#include "ByteOutput.h"
#include "FormatTables.h"
#include "OptWalker.h"

namespace vexlor {

namespace {
constexpr std::string_view kFaceRule = "-------------------------------------------------------";
constexpr std::string_view kDetailRule =
    "============================================================";
constexpr const RegionSchema& kFaceIndices = format::kFaceIndices;
constexpr int64_t kFaceIndexBytes = kFaceIndices.RecordSize;
constexpr int64_t kFaceNormalBytes = format::kFaceNormals.RecordSize;
constexpr int64_t kFaceSoftBytes = format::kSoftVectors.RecordSize;
constexpr int64_t kFaceBytes = kFaceIndexBytes + kFaceNormalBytes + kFaceSoftBytes;
constexpr int64_t kEdgeIndices = FieldOf(kFaceIndices, "edgeIndices").Offset;
constexpr int64_t kTextureVertexIndices = FieldOf(kFaceIndices, "textureVertexIndices").Offset;
constexpr int64_t kVertexNormalIndices = FieldOf(kFaceIndices, "vertexNormalIndices").Offset;
constexpr int64_t kSoftVector2 = FieldOf(format::kSoftVectors, "softVector2").Offset;
// Every geometry block finds its payload and count where a vertex block does.
static_assert(format::kVertexNormals.AnchorField == format::kVertices.AnchorField &&
              format::kTextureVertices.AnchorField == format::kVertices.AnchorField &&
              kFaceIndices.AnchorField == format::kVertices.AnchorField &&
              format::kVertexNormals.CountField == format::kVertices.CountField &&
              format::kTextureVertices.CountField == format::kVertices.CountField &&
              kFaceIndices.CountField == format::kVertices.CountField);
constexpr int64_t kCount = format::kVertices.CountField;
constexpr int64_t kPayload = format::kVertices.AnchorField;

template <typename T>
void GrowTo(std::vector<T>& table, int64_t size) {
    if (static_cast<int64_t>(table.size()) < size) table.resize(static_cast<size_t>(size));
}

void PutLittleEndian(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}
}  // namespace

void OptWalker::AppendFloats(const Vec3& v) {
    AppendFloat(v.x);
    line_ += " , ";
    AppendFloat(v.y);
    line_ += " , ";
    AppendFloat(v.z);
}

void OptWalker::AppendIndices(const std::array<int32_t, 4>& v) {
    for (size_t c = 0; c < 4; ++c) {
        if (c > 0) line_ += " , ";
        AppendInt(v[c]);
    }
}

int64_t OptWalker::ReadVec3Table(int64_t payload, int64_t count, std::string_view what,
                                 const Vec3Lines& lines, std::vector<Vec3>& table) {
    constexpr int64_t kSize = format::kVectorSize;
    static_assert(format::kVertices.RecordSize == kSize &&
                  format::kVertexNormals.RecordSize == kSize);
    const int64_t n = ElementsInFile(payload, count, kSize, what);
    Spend(kSize * n);
    GrowTo(table, n);
    const bool report = sink_.Active();
    for (int64_t i = 0; i < n; ++i) {
        Vec3& v = table[static_cast<size_t>(i)];
        v = stream_.Vec3At(payload + kSize * i);
        if (report) {
            Line() += lines.before;
            AppendInt(i);
            line_ += lines.after;
            AppendFloats(v);
            Emit();
        }
    }
    return n;
}

void OptWalker::ReadVertexBlock(int64_t p) {
    const int32_t count = stream_.Int32At(p + kCount);
    const int64_t payload = AdjustOffset(stream_.Int32At(p + kPayload));
    if (sink_.Active()) {
        Emit("");
        Line() += "VERTEX block (03) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (sink_.Active()) {
        Line() += "Number of vertices this mesh is ";
        AppendInt(count);
        Emit();
        Emit("");
    }
    const int64_t read = ReadVec3Table(payload, count, "vertex payload",
                                       {"   vertex ", " : XYZ is "}, tables_.VertexTable);
    if (options_.FillDrawTables) model_->VertexCount += read;
}

void OptWalker::ReadVertexNormalBlock(int64_t p) {
    std::vector<Vec3>& normals = tables_.VertexNormalTable;
    std::fill_n(normals.begin(), std::min(kVertexNormalsZeroed, normals.size()), Vec3{});
    const int32_t count = stream_.Int32At(p + kCount);
    const int64_t payload = AdjustOffset(stream_.Int32At(p + kPayload));
    if (sink_.Active()) {
        Emit("");
        Line() += "VERTEX NORMAL block (11) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (sink_.Active()) {
        Emit("");
        Line() += "Number of vertex normals this mesh is ";
        AppendInt(count);
        Emit();
    }
    ReadVec3Table(payload, count, "vertex normal payload", {"   vertex normal ", " : "}, normals);
}

void OptWalker::ReadTextureVertexBlock(int64_t p) {
    const int32_t count = stream_.Int32At(p + kCount);
    const int64_t payload = AdjustOffset(stream_.Int32At(p + kPayload));
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "TEXTURE VERTEX block (13) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (report) {
        Emit("");
        Line() += "Number of texture vertices this mesh is ";
        AppendInt(count);
        Emit();
    }
    constexpr int64_t kSize = format::kTextureVertices.RecordSize;
    const int64_t n = ElementsInFile(payload, count, kSize, "texture vertex payload");
    Spend(kSize * n);
    // The table holds this block's texture vertices and no others.
    tables_.TextureVertexTable.resize(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
        TextureVertex& uv = tables_.TextureVertexTable[static_cast<size_t>(i)];
        uv.u = stream_.SingleAt(payload + kSize * i);
        uv.v = stream_.SingleAt(payload + kSize * i + format::kValueSize);
        if (!report) continue;
        Line() += "   texture vertex ";
        AppendInt(i);
        line_ += " : ";
        AppendFloat(uv.u);
        line_ += " , ";
        AppendFloat(uv.v);
        Emit();
    }
}

// Faces of a face block whose three parts (indices, normal, soft vectors) all lie in the file. The
// parts are three arrays whose positions follow from the claimed count.
int64_t OptWalker::FacesInFile(int64_t payload, int64_t count) const {
    if (count <= 0) return 0;
    const auto fit = [&](int64_t start, int64_t size) { return stream_.BytesFrom(start) / size; };
    const int64_t indices = payload + kFaceIndices.Skip;
    const int64_t normals = indices + kFaceIndexBytes * count;
    const int64_t softs = normals + kFaceNormalBytes * count;
    return std::min({count, fit(indices, kFaceIndexBytes), fit(normals, kFaceNormalBytes),
                     fit(softs, kFaceSoftBytes)});
}

int64_t OptWalker::ReadFaceBlock(int64_t p) {
    const int32_t count = stream_.Int32At(p + kCount);
    const int64_t payload = AdjustOffset(stream_.Int32At(p + kPayload));
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "FACE block (01) at offset ";
        AppendInt(p);
        Emit();
    }
    ReportShortHeader(p);
    if (report) {
        Emit("");
        Line() += "Number of faces this block is ";
        AppendInt(count);
        Emit();
    }
    int64_t n = 0;
    if (count < 0) {
        ElementsInFile(payload, count, 1, "face payload");
    } else if (count > 0) {
        n = FacesInFile(payload, count);
        if (n < count) ReportCut("face payload", payload, n, count);
    }
    Spend(kFaceBytes * n);

    const int64_t base = tables_.MeshFaceBase;
    GrowTo(tables_.FaceTable, base + n);
    GrowTo(tables_.FaceOrigins, base + n);
    auto face = [&](int64_t k) -> FaceRecord& {
        return tables_.FaceTable[static_cast<size_t>(base + k)];
    };
    const int64_t indices = payload + kFaceIndices.Skip;
    for (int64_t k = 0; k < n; ++k)
        tables_.FaceOrigins[static_cast<size_t>(base + k)] = {p, static_cast<int32_t>(k),
                                                              indices + kFaceIndexBytes * k};
    const auto readIndices = [&](int64_t at, std::array<int32_t, 4>& group) {
        for (size_t c = 0; c < 4; ++c)
            group[c] = stream_.Int32At(at + format::kValueSize * static_cast<int64_t>(c));
    };
    for (int64_t k = 0; k < n; ++k) {
        FaceRecord& f = face(k);
        const int64_t record = indices + kFaceIndexBytes * k;
        readIndices(record, f.VertexIndex);
        readIndices(record + kEdgeIndices, f.EdgeIndex);
        readIndices(record + kTextureVertexIndices, f.TextureVertexIndex);
        readIndices(record + kVertexNormalIndices, f.VertexNormalIndex);
    }
    const int64_t normals = indices + kFaceIndexBytes * count;
    for (int64_t k = 0; k < n; ++k)
        face(k).FaceNormal = stream_.Vec3At(normals + kFaceNormalBytes * k);
    const int64_t softs = normals + kFaceNormalBytes * count;
    for (int64_t k = 0; k < n; ++k) {
        FaceRecord& f = face(k);
        f.SoftVector1 = stream_.Vec3At(softs + kFaceSoftBytes * k);
        f.SoftVector2 = stream_.Vec3At(softs + kFaceSoftBytes * k + kSoftVector2);
    }

    if (report) {
        for (int64_t k = base; k < base + n; ++k) {
            const FaceRecord& f = tables_.FaceTable[static_cast<size_t>(k)];
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
    }
    tables_.MeshFaceBase = base + n;
    return n;
}

// Coordinate lines for the corners of a face (or its vertex normals); an index that names no
// entry of the table gets a line saying so instead. Negative vertex normal indices mean "none";
// negative vertex indices are only expected as the fourth index of a triangle (-1). Without a
// report only the lines about bad indices are made, for the recorded problems.
void OptWalker::AppendVertexLines(const std::array<int32_t, 4>& indices,
                                  const std::vector<Vec3>& table, std::string_view tableName,
                                  int64_t indexPosition) {
    const bool vertices = &table == &tables_.VertexTable;
    for (size_t c = 0; c < 4; ++c) {
        const int32_t index = indices[c];
        const bool none = index < 0 && (!vertices || (c == 3 && index == -1));
        if (none) continue;
        if (index >= 0 && static_cast<size_t>(index) < table.size()) {
            if (!sink_.Active()) continue;
            const Vec3& v = table[static_cast<size_t>(index)];
            Line();
            sink_.Numbers().AppendTriple(line_, v.x, v.y, v.z);
            Emit();
            continue;
        }
        Line() += "   !! corner ";
        AppendInt(static_cast<int64_t>(c));
        line_ += ": ";
        line_ += tableName;
        line_ += " index ";
        AppendInt(index);
        line_ += " is outside the ";
        line_ += tableName;
        line_ += " table (";
        AppendInt(static_cast<int64_t>(table.size()));
        line_ += " entries)";
        if (vertices) line_ += ", drawn at the origin";
        EmitProblem(ProblemKind::BadIndex, currentBlock_,
                    indexPosition + format::kValueSize * static_cast<int64_t>(c));
    }
}

void OptWalker::WritePrjRecord(const std::array<Vec3, 4>& corners) {
    ++prjRecords_;
    uint8_t record[format::kPrjFaceRecordSize];
    PutLittleEndian(record + format::kPrjFaceFields[0].Offset, static_cast<uint32_t>(currentMesh_));
    for (size_t c = 0; c < 4; ++c) {
        uint8_t* corner = record + format::kPrjFaceFields[1 + c].Offset;
        PutLittleEndian(corner, std::bit_cast<uint32_t>(corners[c].x));
        PutLittleEndian(corner + format::kValueSize, std::bit_cast<uint32_t>(corners[c].y));
        PutLittleEndian(corner + 2 * format::kValueSize, std::bit_cast<uint32_t>(corners[c].z));
    }
    options_.Prj->Write(record, sizeof record);
}

void OptWalker::AppendDrawFace(const FaceRecord& face, const FaceOrigin& origin,
                               const std::array<Vec3, 4>& corners, bool quad) {
    DrawFace& draw = model_->DrawFaces.emplace_back();
    draw.Mesh = static_cast<int16_t>(currentMesh_);
    draw.IsQuad = quad ? 1 : 0;
    draw.Lod = static_cast<uint8_t>(curLod_);
    draw.Normal = face.FaceNormal;
    draw.Corners = corners;
    draw.BlockOffset = origin.BlockOffset;
    draw.FaceInBlock = origin.FaceInBlock;
}

void OptWalker::ReadFaceDetails(int64_t p) {
    // The pass resolves corners for the report, the PRJ file and the draw tables only.
    if (!sink_.Active() && options_.Prj == nullptr && !options_.FillDrawTables) return;
    const int32_t count = stream_.Int32At(p + kCount);
    if (count <= 0) return;
    const int64_t n = FacesInFile(AdjustOffset(stream_.Int32At(p + kPayload)), count);
    const int64_t base = tables_.MeshFaceBase - n;
    if (base < 0) return;
    const bool report = sink_.Active();

    for (int64_t k = base; k < base + n; ++k) {
        const FaceRecord& f = tables_.FaceTable[static_cast<size_t>(k)];
        const int64_t record = tables_.FaceOrigins[static_cast<size_t>(k)].RecordOffset;
        const auto& V = f.VertexIndex;
        if (report) {
            Emit("");
            Emit(kDetailRule);
            Line() += "MESH ";
            AppendInt(currentMesh_);
            line_ += ": Texture ??,  FACE ";
            AppendInt(k);
            line_ += " DETAILS:";
            Emit();
            Emit("");
            Line() += "  vertex indices are ";
            AppendIndices(V);
            Emit();
        }

        // A triangle repeats its third corner as the fourth.
        std::array<Vec3, 4> corners{};
        bool quad = true;
        for (size_t c = 0; c < 4; ++c) {
            int32_t v = V[c];
            if (c == 3 && v == -1) {
                v = V[2];
                quad = false;
            }
            corners[c] = tables_.VertexAt(v);
        }
        if (options_.Prj != nullptr) WritePrjRecord(corners);
        if (options_.FillDrawTables)
            AppendDrawFace(f, tables_.FaceOrigins[static_cast<size_t>(k)], corners, quad);

        if (report) {
            Line() += "   face ";
            AppendInt(k);
            line_ += " vert indices are      ";
            AppendIndices(V);
            Emit();
            AppendVertexLines(V, tables_.VertexTable, "vertex", record);
            Emit("");
            Line() += "  Face Normal is: ";
            AppendFloats(f.FaceNormal);
            Emit();
            Emit("");
            Line() += "  vertex normal indices are ";
            AppendIndices(f.VertexNormalIndex);
            Emit();
            AppendVertexLines(f.VertexNormalIndex, tables_.VertexNormalTable, "vertex normal",
                              record + kVertexNormalIndices);
        } else if (problems_ != nullptr) {
            AppendVertexLines(V, tables_.VertexTable, "vertex", record);
            AppendVertexLines(f.VertexNormalIndex, tables_.VertexNormalTable, "vertex normal",
                              record + kVertexNormalIndices);
        }
    }
}

}  // namespace vexlor
