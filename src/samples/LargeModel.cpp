// LargeModel: flat tessellated plates far beyond the reader's capacities, for benchmarks.
//
// Every mesh is a plate of columns x rows unit cells in the plane y = 0, facing +y. Level 1
// tessellates the cells (every seventh cell as two triangles), level 2 covers the same plate with 2
// x 2 cells and level 3 with 4 x 4 cells. All levels carry the whole grid of points, so every face
// and every vertex normal agrees with the consistency check. Building is a few plain loops:
// 200,000 faces take a few tens of milliseconds.
#include <algorithm>
#include <cmath>

#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {

namespace {

const std::vector<float> kLodDistances{3000.0f, 750.5f, 125.25f};
constexpr int kLevels = 3;

}  // namespace

std::vector<uint8_t> BuildLargeModel(int faces, int meshes) {
    if (meshes < 1) meshes = 1;
    if (faces < 0) faces = 0;
    // Level faces per level-1 cell: 8/7 + 1/4 + 1/16.
    const double perCell = 8.0 / 7.0 + 0.25 + 0.0625;
    const double cells = static_cast<double>(faces) / meshes / perCell;
    auto roundUp4 = [](int64_t v) { return std::max<int64_t>(4, (v + 3) / 4 * 4); };
    const int64_t columns = roundUp4(static_cast<int64_t>(std::ceil(std::sqrt(cells))));
    const int64_t rows =
        roundUp4(static_cast<int64_t>(std::ceil(cells / static_cast<double>(columns))));
    const int64_t stride = columns + 1;

    OptBuilder b(0x00A00000);
    b.SetMeshes(std::vector<int64_t>(static_cast<size_t>(meshes), 0));
    std::vector<V3> points(static_cast<size_t>(stride * (rows + 1)));
    const std::vector<V3> normals(points.size(), V3{0, 1, 0});
    std::vector<std::pair<float, float>> uv(points.size());
    for (int64_t z = 0; z <= rows; ++z) {
        for (int64_t x = 0; x <= columns; ++x) {
            uv[static_cast<size_t>(z * stride + x)] = {static_cast<float>(x) / columns,
                                                       static_cast<float>(z) / rows};
        }
    }

    std::vector<FaceInput> faceList;
    for (int m = 0; m < meshes; ++m) {
        const auto left = static_cast<float>(m * (columns + 8));
        for (int64_t z = 0; z <= rows; ++z) {
            for (int64_t x = 0; x <= columns; ++x) {
                points[static_cast<size_t>(z * stride + x)] = {left + x, 0, static_cast<float>(z)};
            }
        }
        const int64_t root = b.AddJump(0, {0, 0});
        b.SetMesh(m, root);
        MeshDescriptorInput d;
        d.MeshType = 1 + m % 4;
        d.Span = {static_cast<float>(columns), 0, static_cast<float>(rows)};
        d.Centre = {left + columns / 2.0f, 0, rows / 2.0f};
        d.Minima = {left, 0, 0};
        d.Maxima = {left + columns, 0, static_cast<float>(rows)};
        d.TargetCentre = d.Centre;
        b.SetSlot(root, 0, b.AddMeshDescriptor(d));
        const int64_t lod = b.AddLod({0, 0, 0}, kLodDistances);
        b.SetSlot(root, 1, lod);

        for (int level = 0; level < kLevels; ++level) {
            const int64_t size = int64_t{1} << level;  // cell edge 1, 2 or 4
            faceList.clear();
            // Corners c0..c3 of each cell, wound so the face normal comes out as +y.
            int64_t cell = 0;
            for (int64_t z = 0; z + size <= rows; z += size) {
                for (int64_t x = 0; x + size <= columns; x += size, ++cell) {
                    const auto c0 = static_cast<int32_t>(z * stride + x);
                    const auto c1 = static_cast<int32_t>(z * stride + x + size);
                    const auto c2 = static_cast<int32_t>((z + size) * stride + x + size);
                    const auto c3 = static_cast<int32_t>((z + size) * stride + x);
                    FaceInput f;
                    f.Normal = {0, 1, 0};
                    f.Soft1 = {1, 0, 0};
                    f.Soft2 = {0, 0, 1};
                    f.Edge = {0, 1, 2, 3};
                    if (level == 0 && cell % 7 == 6) {
                        f.Vertex = {c0, c1, c2, -1};
                        f.TextureVertex = {c0, c1, c2, 0};
                        f.VertexNormal = {c0, c1, c2, -1};
                        faceList.push_back(f);
                        f.Vertex = {c0, c2, c3, -1};
                        f.TextureVertex = {c0, c2, c3, 0};
                        f.VertexNormal = {c0, c2, c3, -1};
                        faceList.push_back(f);
                    } else {
                        f.Vertex = {c0, c1, c2, c3};
                        f.TextureVertex = f.Vertex;
                        f.VertexNormal = f.Vertex;
                        faceList.push_back(f);
                    }
                }
            }
            const int64_t jump = b.AddJump(0, {0, 0, 0, 0});
            b.SetSlot(lod, level, jump);
            b.SetSlot(jump, 0, b.AddVertices(points));
            b.SetSlot(jump, 1, b.AddVertexNormals(normals));
            b.SetSlot(jump, 2, b.AddTextureVertices(uv));
            b.SetSlot(jump, 3, b.AddFaces(faceList));
        }
    }
    return b.Build();
}

}  // namespace vexlor::testing
