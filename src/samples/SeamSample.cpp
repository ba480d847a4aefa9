// SeamSample: two pairs of meshes that meet along a seam, where the two vertex normal modes of
// the consistency check disagree.
//
// Each pair is a floor, the unit square in z = 0 (rebuilt normal (0, 0, -1)), and a wall, the
// unit square in x = x0 (rebuilt normal (-1, 0, 0)), each in a mesh of its own, sharing the edge
// from (x0, 0, 0) to (x0, 1, 0): corners 0 and 3 of the floor, corners 0 and 1 of the wall. Away
// from the seam every stored vertex normal is the face's own normal.
//   Meshes 0 and 1 (x0 = 0) store at the seam the average across both meshes, (-1, 0, -1)
//     normalised: the whole-model check finds it there, mesh by mesh finds only the mesh's own
//     face and flags all four seam corners.
//   Meshes 2 and 3 (x0 = 10) store at the seam each face's own normal: mesh by mesh passes them,
//     the whole-model check averages both faces and flags all four seam corners.
// Nothing else in the file is wrong: either mode ends with four findings.
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {

namespace {

constexpr int32_t kSeamOffset = 0x00C05A00;
constexpr float kHalfRoot2 = 0.70710677f;

FaceInput Square(std::array<int32_t, 4> vertexNormal, V3 normal, V3 soft1, V3 soft2) {
    FaceInput f;
    f.Vertex = {0, 1, 2, 3};
    f.Edge = {0, 1, 2, 3};
    f.TextureVertex = {0, 0, 0, 0};
    f.VertexNormal = vertexNormal;
    f.Normal = normal;
    f.Soft1 = soft1;
    f.Soft2 = soft2;
    return f;
}

// The floor and the wall of one pair; vertex normal 1 is the one stored at the seam.
std::pair<int64_t, int64_t> addPair(OptBuilder& b, float x0, bool averageAtSeam) {
    const V3 down{0, 0, -1};
    const V3 west{-1, 0, 0};
    const V3 seam{-kHalfRoot2, 0, -kHalfRoot2};
    const int64_t floor =
        b.AddJump(0, {b.AddVertices({{x0, 0, 0}, {x0 + 1, 0, 0}, {x0 + 1, 1, 0}, {x0, 1, 0}}),
                      b.AddVertexNormals({down, averageAtSeam ? seam : down}),
                      b.AddFaces({Square({1, 0, 0, 1}, down, {1, 0, 0}, {0, 1, 0})})});
    const int64_t wall =
        b.AddJump(0, {b.AddVertices({{x0, 0, 0}, {x0, 1, 0}, {x0, 1, 1}, {x0, 0, 1}}),
                      b.AddVertexNormals({west, averageAtSeam ? seam : west}),
                      b.AddFaces({Square({1, 1, 0, 0}, west, {0, 1, 0}, {0, 0, 1})})});
    return {floor, wall};
}

}  // namespace

std::vector<uint8_t> BuildSeamSample() {
    OptBuilder b(kSeamOffset);
    const auto [floor0, wall1] = addPair(b, 0, true);
    const auto [floor2, wall3] = addPair(b, 10, false);
    b.SetMeshes({floor0, wall1, floor2, wall3});
    return b.Build();
}

}  // namespace vexlor::testing
