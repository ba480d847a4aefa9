// Readers of the geometry blocks: vertices (3), vertex normals (11), texture vertices (13) and
// faces (1), into the mesh tables.
#include <algorithm>

#include "reader/FormatTables.h"
#include "reader/OptWalker.h"

namespace vexlor {

namespace {

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
static_assert(format::kVertices.CountField == kCountField &&
              format::kVertices.AnchorField == kPayloadField);

template <typename T>
void GrowTo(std::vector<T>& table, int64_t size) {
    if (static_cast<int64_t>(table.size()) < size) table.resize(static_cast<size_t>(size));
}

}  // namespace

int64_t OptWalker::ReadVec3Table(int64_t payload, int64_t count, std::string_view what,
                                 std::vector<Vec3>& table) {
    constexpr int64_t kSize = format::kVectorSize;
    static_assert(format::kVertices.RecordSize == kSize &&
                  format::kVertexNormals.RecordSize == kSize);
    const int64_t n =
        Afford(RecordsRead(ElementsInFile(payload, count, kSize, what), what, payload), kSize);
    GrowTo(table, n);
    for (int64_t i = 0; i < n; ++i)
        table[static_cast<size_t>(i)] = stream_.Vec3At(payload + kSize * i);
    return n;
}

void OptWalker::ReadVertexBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.CountRead(header); });
    const int64_t n =
        ReadVec3Table(header.Payload, header.Count, "vertex payload", tables_.VertexTable);
    const std::span<const Vec3> vertices(tables_.VertexTable.data(), static_cast<size_t>(n));
    Tell([&](WalkObserver& o) { o.VerticesRead(Place(), header, vertices); });
}

void OptWalker::ReadVertexNormalBlock(int64_t p) {
    std::vector<Vec3>& normals = tables_.VertexNormalTable;
    std::fill_n(normals.begin(), std::min(kVertexNormalsZeroed, normals.size()), Vec3{});
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.CountRead(header); });
    const int64_t n = ReadVec3Table(header.Payload, header.Count, "vertex normal payload", normals);
    const std::span<const Vec3> read(normals.data(), static_cast<size_t>(n));
    Tell([&](WalkObserver& o) { o.VertexNormalsRead(Place(), header, read); });
}

void OptWalker::ReadTextureVertexBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.CountRead(header); });
    constexpr int64_t kSize = format::kTextureVertices.RecordSize;
    const int64_t n = Afford(
        RecordsRead(ElementsInFile(header.Payload, header.Count, kSize, "texture vertex payload"),
                    "texture vertex payload", header.Payload),
        kSize);
    // The table holds this block's texture vertices and no others.
    tables_.TextureVertexTable.resize(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
        TextureVertex& uv = tables_.TextureVertexTable[static_cast<size_t>(i)];
        uv.U = stream_.SingleAt(header.Payload + kSize * i);
        uv.V = stream_.SingleAt(header.Payload + kSize * i + format::kValueSize);
    }
    Tell([&](WalkObserver& o) {
        o.TextureVerticesRead(Place(), header, tables_.TextureVertexTable);
    });
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

void OptWalker::ReadFaceBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.BlockStarted(header); });
    ReportShortHeader(p);
    Tell([&](WalkObserver& o) { o.CountRead(header); });
    const int32_t count = header.Count;
    const int64_t payload = header.Payload;
    int64_t n = 0;
    if (count < 0) {
        ElementsInFile(payload, count, 1, "face payload");
    } else if (count > 0) {
        n = FacesInFile(payload, count);
        if (n < count) ReportCut("face payload", payload, n, count);
    }
    n = Afford(RecordsRead(n, "face payload", payload), kFaceBytes);

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
    tables_.MeshFaceBase = base + n;
    Tell([&](WalkObserver& o) { o.FacesRead(Place(), p, tables_, base, n); });
}

}  // namespace vexlor
