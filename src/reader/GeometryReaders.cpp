// Readers of the geometry blocks: vertices (3), vertex normals (11), texture vertices (13),
// faces (1) and the face detail pass that resolves faces for the draw tables and the PRJ file.
#include <algorithm>

#include "FileOutput.h"
#include "opt_file.h"

namespace vexlor {

namespace {
constexpr std::string_view kFaceRule = "-------------------------------------------------------";
constexpr std::string_view kDetailRule =
    "============================================================";
constexpr int64_t kFaceIndexBytes = 64;
constexpr int64_t kFaceNormalBytes = 12;
constexpr int64_t kFaceSoftBytes = 24;

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

void OptFile::AppendFloats(const Vec3& v) {
    AppendFloat(v.x);
    line_ += " , ";
    AppendFloat(v.y);
    line_ += " , ";
    AppendFloat(v.z);
}

void OptFile::AppendIndices(const std::array<int32_t, 4>& v) {
    for (size_t c = 0; c < 4; ++c) {
        if (c > 0) line_ += " , ";
        AppendInt(v[c]);
    }
}

void OptFile::ReadVertexBlock(int64_t p) {
    stream_.SeekOpt(p + 16);
    const int32_t count = stream_.ReadInt32();
    const int64_t payload = AdjustOffset(stream_.ReadInt32());
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "VERTEX block (03) at offset ";
        AppendInt(p);
        Emit();
        ReportShortHeader(p);
        Line() += "Number of vertices this mesh is ";
        AppendInt(count);
        Emit();
        Emit("");
    }
    const int64_t n = ElementsInFile(payload, count, 12, "vertex payload");
    Spend(12 * n);
    GrowTo(store_.VertexTable, n);
    stream_.SeekOpt(payload);
    for (int64_t i = 0; i < n; ++i) {
        Vec3& v = store_.VertexTable[static_cast<size_t>(i)];
        v.x = stream_.ReadFloat();
        v.y = stream_.ReadFloat();
        v.z = stream_.ReadFloat();
        if (report) {
            Line() += "   vertex ";
            AppendInt(i);
            line_ += " : XYZ is ";
            AppendFloats(v);
            Emit();
        }
    }
}

void OptFile::ReadVertexNormalBlock(int64_t p) {
    std::fill_n(store_.VertexNormalTable.begin(),
                std::min(kVertexNormalsZeroed, store_.VertexNormalTable.size()), Vec3{});
    stream_.SeekOpt(p + 16);
    const int32_t count = stream_.ReadInt32();
    stream_.SeekOpt(p + 20);
    const int64_t payload = AdjustOffset(stream_.ReadInt32());
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "VERTEX NORMAL block (11) at offset ";
        AppendInt(p);
        Emit();
        ReportShortHeader(p);
        Emit("");
        Line() += "Number of vertex normals this mesh is ";
        AppendInt(count);
        Emit();
    }
    const int64_t n = ElementsInFile(payload, count, 12, "vertex normal payload");
    Spend(12 * n);
    GrowTo(store_.VertexNormalTable, n);
    stream_.SeekOpt(payload);
    for (int64_t i = 0; i < n; ++i) {
        Vec3& v = store_.VertexNormalTable[static_cast<size_t>(i)];
        v.x = stream_.ReadFloat();
        v.y = stream_.ReadFloat();
        v.z = stream_.ReadFloat();
        if (report) {
            Line() += "   vertex normal ";
            AppendInt(i);
            line_ += " : ";
            AppendFloats(v);
            Emit();
        }
    }
}

void OptFile::ReadTextureVertexBlock(int64_t p) {
    stream_.SeekOpt(p + 16);
    const int32_t count = stream_.ReadInt32();
    stream_.SeekOpt(p + 20);
    const int64_t payload = AdjustOffset(stream_.ReadInt32());
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "TEXTURE VERTEX block (13) at offset ";
        AppendInt(p);
        Emit();
        ReportShortHeader(p);
        Emit("");
        Line() += "Number of texture vertices this mesh is ";
        AppendInt(count);
        Emit();
    }
    const int64_t n = ElementsInFile(payload, count, 8, "texture vertex payload");
    Spend(8 * n);
    if (!report) return;  // texture vertices are only reported, never stored
    stream_.SeekOpt(payload);
    for (int64_t i = 0; i < n; ++i) {
        const float u = stream_.ReadFloat();
        const float v = stream_.ReadFloat();
        Line() += "   texture vertex ";
        AppendInt(i);
        line_ += " : ";
        AppendFloat(u);
        line_ += " , ";
        AppendFloat(v);
        Emit();
    }
}

// Faces of a face block whose three parts (indices, normal, soft vectors) all lie in the file. The
// parts are three arrays whose positions follow from the claimed count.
int64_t OptFile::FacesInFile(int64_t payload, int64_t count) const {
    if (count <= 0) return 0;
    const auto fit = [&](int64_t start, int64_t size) { return stream_.BytesFrom(start) / size; };
    const int64_t indices = payload + 4;
    const int64_t normals = indices + kFaceIndexBytes * count;
    const int64_t softs = normals + kFaceNormalBytes * count;
    return std::min({count, fit(indices, kFaceIndexBytes), fit(normals, kFaceNormalBytes),
                     fit(softs, kFaceSoftBytes)});
}

int64_t OptFile::ReadFaceBlock(int64_t p) {
    stream_.SeekOpt(p + 16);
    const int32_t count = stream_.ReadInt32();
    stream_.SeekOpt(p + 20);
    const int64_t payload = AdjustOffset(stream_.ReadInt32());
    const bool report = sink_.Active();
    if (report) {
        Emit("");
        Line() += "FACE block (01) at offset ";
        AppendInt(p);
        Emit();
        ReportShortHeader(p);
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
        if (n < count && report) {
            Line() += "   !! face payload at offset ";
            AppendInt(payload);
            line_ += ": the file holds ";
            AppendInt(n);
            line_ += " of ";
            AppendInt(count);
            line_ += ", the rest are not read";
            Emit();
        }
    }
    Spend(100 * n);

    const int64_t base = store_.MeshFaceBase;
    GrowTo(store_.FaceTable, base + n);
    auto face = [&](int64_t k) -> FaceRecord& {
        return store_.FaceTable[static_cast<size_t>(base + k)];
    };
    stream_.SeekOpt(payload + 4);
    for (int64_t k = 0; k < n; ++k) {
        FaceRecord& f = face(k);
        for (auto& v : f.VertexIndex)
            v = stream_.ReadInt32();
        for (auto& v : f.EdgeIndex)
            v = stream_.ReadInt32();
        for (auto& v : f.TextureVertexIndex)
            v = stream_.ReadInt32();
        for (auto& v : f.VertexNormalIndex)
            v = stream_.ReadInt32();
    }
    stream_.SeekOpt(payload + 4 + kFaceIndexBytes * count);
    for (int64_t k = 0; k < n; ++k) {
        Vec3& v = face(k).FaceNormal;
        v.x = stream_.ReadFloat();
        v.y = stream_.ReadFloat();
        v.z = stream_.ReadFloat();
    }
    stream_.SeekOpt(payload + 4 + (kFaceIndexBytes + kFaceNormalBytes) * count);
    for (int64_t k = 0; k < n; ++k) {
        FaceRecord& f = face(k);
        for (Vec3* v : {&f.SoftVector1, &f.SoftVector2}) {
            v->x = stream_.ReadFloat();
            v->y = stream_.ReadFloat();
            v->z = stream_.ReadFloat();
        }
    }

    if (report) {
        for (int64_t k = base; k < base + n; ++k) {
            const FaceRecord& f = store_.FaceTable[static_cast<size_t>(k)];
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
    store_.MeshFaceBase = base + n;
    return n;
}

Vec3 OptFile::CornerPosition(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= store_.VertexTable.size()) return Vec3{};
    return store_.VertexTable[static_cast<size_t>(index)];
}

// Coordinate lines for the corners of a face (or its vertex normals); an index that names no
// entry of the table gets a line saying so instead. Negative vertex normal indices mean "none";
// negative vertex indices are only expected as the fourth index of a triangle (-1).
void OptFile::AppendVertexLines(const std::array<int32_t, 4>& indices,
                                const std::vector<Vec3>& table, std::string_view tableName) {
    const bool vertices = &table == &store_.VertexTable;
    for (size_t c = 0; c < 4; ++c) {
        const int32_t index = indices[c];
        const bool none = index < 0 && (!vertices || (c == 3 && index == -1));
        if (none) continue;
        if (index >= 0 && static_cast<size_t>(index) < table.size()) {
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
        Emit();
    }
}

void OptFile::ReadFaceDetails(int64_t p) {
    stream_.SeekOpt(p + 16);
    const int32_t count = stream_.ReadInt32();
    if (count <= 0) return;
    stream_.SeekOpt(p + 20);
    const int64_t n = FacesInFile(AdjustOffset(stream_.ReadInt32()), count);
    const int64_t base = store_.MeshFaceBase - n;
    if (base < 0) return;
    const bool report = sink_.Active();
    const bool writePrj = store_.WritePrj && prj_ != nullptr;

    for (int64_t k = base; k < base + n; ++k) {
        const FaceRecord& f = store_.FaceTable[static_cast<size_t>(k)];
        const auto& V = f.VertexIndex;
        if (report) {
            Emit("");
            Emit(kDetailRule);
            Line() += "MESH ";
            AppendInt(store_.CurrentMesh);
            line_ += ": Texture ??,  FACE ";
            AppendInt(k);
            line_ += " DETAILS:";
            Emit();
            Emit("");
            Line() += "  vertex indices are ";
            AppendIndices(V);
            Emit();
        }

        std::array<Vec3, 4> corners{};
        bool quad = true;
        for (size_t c = 0; c < 4; ++c) {
            int32_t v = V[c];
            if (c == 3 && v == -1) {
                v = V[2];
                quad = false;
            }
            corners[c] = CornerPosition(v);
        }
        if (writePrj) {
            ++store_.ShownFaceCount;
            uint8_t record[52];
            PutLittleEndian(record, static_cast<uint32_t>(store_.CurrentMesh));
            for (size_t c = 0; c < 4; ++c) {
                PutLittleEndian(record + 4 + 12 * c, std::bit_cast<uint32_t>(corners[c].x));
                PutLittleEndian(record + 8 + 12 * c, std::bit_cast<uint32_t>(corners[c].y));
                PutLittleEndian(record + 12 + 12 * c, std::bit_cast<uint32_t>(corners[c].z));
            }
            prj_->Write(record, sizeof record);
        }
        if (store_.FillDrawTables) {
            const auto d = static_cast<size_t>(store_.DrawFaceCount);
            if (d >= store_.DrawFaces.size()) store_.DrawFaces.resize(d + 1);
            DrawFace& draw = store_.DrawFaces[d];
            draw.Mesh = static_cast<int16_t>(store_.CurrentMesh);
            draw.IsQuad = quad ? 1 : 0;
            draw.Lod = static_cast<uint8_t>(store_.curLOD);
            draw.Normal = f.FaceNormal;
            draw.Corners = corners;
            store_.DrawFaceCount = static_cast<int64_t>(d) + 1;
        }

        if (report) {
            Line() += "   face ";
            AppendInt(k);
            line_ += " vert indices are      ";
            AppendIndices(V);
            Emit();
            AppendVertexLines(V, store_.VertexTable, "vertex");
            Emit("");
            Line() += "  Face Normal is: ";
            AppendFloats(f.FaceNormal);
            Emit();
            Emit("");
            Line() += "  vertex normal indices are ";
            AppendIndices(f.VertexNormalIndex);
            Emit();
            AppendVertexLines(f.VertexNormalIndex, store_.VertexNormalTable, "vertex normal");
        }
    }
}

}  // namespace vexlor
