// FaultySample: a small model with one of each finding of the consistency check planted in it.
//
// Mesh 0 is a row of unit squares in the plane z = 0, two units apart so that no corner of one
// lies near another. Their winding rebuilds the normal (0, 0, -1); the soft vectors (1, 0, 0) and
// (0, 1, 0) lie in the plane. Face by face:
//   0  triangle whose last two corners coincide          co-incident vertices (counted)
//   1  quad whose corners C and D coincide               co-incident vertices (counted)
//   2  stored normal (0, 0, 1), reversed                 vertex order warning (not counted)
//   3  stored normal (0, 0, -2), twice too long          face normal and soft vector anomalies
//   4  soft vectors (1, 0, 0) and (0, 0, 1), off-plane   soft vector anomaly
//   5  stored vertex normal of corner 2 reversed         vertex normal warning (counted)
//   6  quad whose corners B and D coincide               nothing: that diagonal is not tested
// Mesh 1 has two levels of detail. The second level's vertex block moves the first level's points
// 50 units up and holds the real points after them, so when the check re-reads the mesh the
// first level's face lands where no face was drawn: four "no VN contribs" lines (not counted).
//
// Six counted findings in all; the run ends with "errors were detected!!".
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {

namespace {

constexpr int32_t kFaultyOffset = 0x00B04560;
const V3 kDown{0, 0, -1};
const V3 kUp{0, 0, 1};

// The four corners of the unit square whose first corner is at (x, y, z).
std::vector<V3> Square(float x, float y = 0, float z = 0) {
    return {{x, y, z}, {x + 1, y, z}, {x + 1, y + 1, z}, {x, y + 1, z}};
}

FaceInput Face(std::array<int32_t, 4> vertex, V3 normal, std::array<int32_t, 4> vertexNormal) {
    FaceInput f;
    f.Vertex = vertex;
    f.Edge = {0, 1, 2, vertex[3] < 0 ? 0 : 3};
    f.VertexNormal = vertexNormal;
    f.Normal = normal;
    f.Soft1 = {1, 0, 0};
    f.Soft2 = {0, 1, 0};
    return f;
}

}  // namespace

std::vector<uint8_t> BuildFaultySample() {
    OptBuilder b(kFaultyOffset);

    // Mesh 0. Vertex normals: 0 = down, 1 = up.
    std::vector<V3> points;
    std::vector<FaceInput> faces;
    auto addSquare = [&](float x) {
        const auto first = static_cast<int32_t>(points.size());
        for (const V3& p : Square(x))
            points.push_back(p);
        return first;
    };
    int32_t v = addSquare(0);
    points[static_cast<size_t>(v + 2)] = points[static_cast<size_t>(v + 1)];
    faces.push_back(Face({v, v + 1, v + 2, -1}, kDown, {0, 0, 0, -1}));
    v = addSquare(2);
    points[static_cast<size_t>(v + 3)] = points[static_cast<size_t>(v + 2)];
    faces.push_back(Face({v, v + 1, v + 2, v + 3}, kDown, {0, 0, 0, 0}));
    v = addSquare(4);
    faces.push_back(Face({v, v + 1, v + 2, v + 3}, kUp, {1, 1, 1, 1}));
    v = addSquare(6);
    faces.push_back(Face({v, v + 1, v + 2, v + 3}, {0, 0, -2}, {0, 0, 0, 0}));
    v = addSquare(8);
    faces.push_back(Face({v, v + 1, v + 2, v + 3}, kDown, {0, 0, 0, 0}));
    faces.back().Soft2 = {0, 0, 1};
    v = addSquare(10);
    faces.push_back(Face({v, v + 1, v + 2, v + 3}, kDown, {0, 0, 1, 0}));
    v = addSquare(12);
    points[static_cast<size_t>(v + 3)] = points[static_cast<size_t>(v + 1)];
    faces.push_back(Face({v, v + 1, v + 2, v + 3}, kDown, {0, 0, 0, 0}));
    const int64_t mesh0 =
        b.AddJump(0, {b.AddVertices(points), b.AddVertexNormals({kDown, kUp}), b.AddFaces(faces)});

    // Mesh 1: the first level's face sits at x = 20; the second level moves those points.
    const std::vector<V3> first = Square(20);
    std::vector<V3> second = Square(20, 0, 50);
    second.insert(second.end(), first.begin(), first.end());
    const int64_t level1 = b.AddJump(0, {b.AddVertices(first), b.AddVertexNormals({kDown}),
                                         b.AddFaces({Face({0, 1, 2, 3}, kDown, {0, 0, 0, 0})})});
    const int64_t level2 = b.AddJump(0, {b.AddVertices(second), b.AddVertexNormals({kDown}),
                                         b.AddFaces({Face({4, 5, 6, 7}, kDown, {0, 0, 0, 0})})});
    const int64_t mesh1 = b.AddJump(0, {b.AddLod({level1, level2}, {1000.0f, 100.0f})});

    b.SetMeshes({mesh0, mesh1});
    return b.Build();
}

}  // namespace vexlor::testing
