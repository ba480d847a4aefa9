// The corner index against the plain scan: the same contributions, bit for bit, on random draw
// tables full of awkward coordinates, and the same check output on random models whose meshes and
// levels of detail share faces.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "CheckTestSupport.h"
#include "check/CheckRun.h"
#include "check/CornerIndex.h"
#include "check/NormalContributions.h"

namespace vexlor::testing {
namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Coordinates that stress the grid: a lattice finer than the tolerance (so points lie exactly
// one tolerance apart and on cell boundaries), neighbours one ulp off, huge and tiny values,
// signed zeros, infinities and NaN.
class AwkwardCoordinates {
  public:
    explicit AwkwardCoordinates(uint32_t seed) : random_(seed) {}

    float Next() {
        const int kind = Pick(100);
        if (kind < 70) return Nudge(0.005f * static_cast<float>(Pick(13) - 6));
        if (kind < 80) return Nudge(CheckTolerance * static_cast<float>(Pick(7) - 3));
        if (kind < 84) return Pick(2) ? 1e10f : -3e38f;
        if (kind < 88) return Pick(2) ? -0.0f : std::numeric_limits<float>::denorm_min();
        if (kind < 92) return Pick(2) ? kInf : -kInf;
        if (kind < 94) return kNan;
        return std::uniform_real_distribution<float>(-0.05f, 0.05f)(random_);
    }
    Vec3 Point() { return {Next(), Next(), Next()}; }
    // Mostly proper normals, some zero (NaN once normalised), some NaN, some huge.
    Vec3 Normal() {
        const int kind = Pick(20);
        if (kind == 0) return {0, 0, 0};
        if (kind == 1) return {kNan, 1, 0};
        if (kind == 2) return {3e38f, 3e38f, 0};
        std::uniform_real_distribution<float> unit(-1, 1);
        return {unit(random_), unit(random_), unit(random_)};
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  private:
    float Nudge(float x) {
        const int step = Pick(8);
        if (step == 0) return std::nextafter(x, kInf);
        if (step == 1) return std::nextafter(x, -kInf);
        return x;
    }
    std::mt19937 random_;
};

bool SameBits(const NormalSum& a, const NormalSum& b) {
    return a.Count == b.Count &&
           std::bit_cast<uint32_t>(a.Sum.X) == std::bit_cast<uint32_t>(b.Sum.X) &&
           std::bit_cast<uint32_t>(a.Sum.Y) == std::bit_cast<uint32_t>(b.Sum.Y) &&
           std::bit_cast<uint32_t>(a.Sum.Z) == std::bit_cast<uint32_t>(b.Sum.Z);
}

std::string Describe(const Vec3& p) {
    return "(" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ", " + std::to_string(p.Z) +
           ")";
}

TEST(CornerIndex, FindsWhatVecNearAccepts) {
    std::vector<DrawFace> faces;
    auto add = [&](Vec3 corner) {
        DrawFace face;
        face.Corners = {corner, {50, 50, 50}, {60, 60, 60}, {70, 70, 70}};
        face.Normal = {0, 0, 1};
        faces.push_back(face);
    };
    add({CheckTolerance, 0, 0});                        // exactly at the tolerance: near
    add({std::nextafter(CheckTolerance, 1.0f), 0, 0});  // just beyond: not near
    add({0.005f, 0.005f, 0.005f});                      // near
    add({0.008f, 0.008f, 0});                           // within per axis, not by length
    add({kNan, 100, 100});                              // near everything
    add({kInf, 0, 0});                                  // never near a finite point
    add({kInf, 5, -kInf});                              // near points with +inf in x
    CornerIndex index(faces, CheckTolerance);
    const MeshFilter all = MeshFilter::Everything();
    EXPECT_EQ(index.Contributions({0, 0, 0}, all).Count, 3);
    EXPECT_EQ(index.Contributions({kInf, 1, 2}, all).Count, 3);
    EXPECT_EQ(index.Contributions({-kInf, 1, -kInf}, all).Count, 2);
    EXPECT_EQ(index.Contributions({kNan, 0, 0}, all).Count, 21);
    EXPECT_EQ(index.Contributions({1, 1, 1}, all).Count, 1);
}

TEST(CornerIndex, MatchesThePlainScanBitForBitOnRandomDrawTables) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        AwkwardCoordinates gen(seed);
        std::vector<DrawFace> faces(static_cast<size_t>(150 + gen.Pick(150)));
        std::vector<Vec3> queries;
        for (DrawFace& face : faces) {
            face.IsQuad = static_cast<uint8_t>(gen.Pick(2));
            face.Mesh = static_cast<int16_t>(gen.Pick(3));
            face.Normal = gen.Normal();
            for (Vec3& c : face.Corners) {
                // Corners often repeat earlier ones, as shared vertices do.
                c = (!queries.empty() && gen.Pick(3) == 0)
                        ? queries[static_cast<size_t>(gen.Pick(static_cast<int>(queries.size())))]
                        : gen.Point();
                queries.push_back(c);
            }
        }
        for (int i = 0; i < 200; ++i)
            queries.push_back(gen.Point());

        CornerIndex index(faces, CheckTolerance);
        for (const MeshFilter filter :
             {MeshFilter::Everything(), MeshFilter::OnlyMesh(0), MeshFilter::OnlyMesh(2)}) {
            // Twice over: the second round answers from the index's memory.
            for (int round = 0; round < 2; ++round) {
                for (const Vec3& q : queries) {
                    const NormalSum plain = ScanContributions(faces, q, CheckTolerance, filter);
                    ASSERT_TRUE(SameBits(index.Contributions(q, filter), plain))
                        << "seed " << seed << " point " << Describe(q) << " plain count "
                        << plain.Count;
                }
            }
        }
    }
}

// Random files: meshes whose levels of detail share vertex and face blocks, and whose mesh jump
// table names some meshes twice, so faces repeat across meshes and levels. Corners come from the
// awkward coordinates; every stored vector is random, so most tests fail somewhere.
std::vector<uint8_t> RandomModel(AwkwardCoordinates& gen) {
    OptBuilder b(0x1230);
    std::vector<int64_t> levels;
    for (int level = 0; level < 5; ++level) {
        std::vector<V3> points(static_cast<size_t>(6 + gen.Pick(10)));
        for (V3& p : points) {
            const Vec3 v = gen.Point();
            p = {v.X, v.Y, v.Z};
        }
        std::vector<V3> normals(points.size());
        for (V3& n : normals) {
            const Vec3 v = gen.Normal();
            n = {v.X, v.Y, v.Z};
        }
        std::vector<FaceInput> faces(static_cast<size_t>(3 + gen.Pick(12)));
        const int n = static_cast<int>(points.size());
        for (FaceInput& f : faces) {
            for (int32_t& i : f.Vertex)
                i = gen.Pick(n + 1);  // now and then one past the table
            if (gen.Pick(2)) f.Vertex[3] = -1;
            for (int32_t& i : f.VertexNormal)
                i = gen.Pick(n);
            for (V3* v : {&f.Normal, &f.Soft1, &f.Soft2}) {
                const Vec3 r = gen.Normal();
                *v = {r.X, r.Y, r.Z};
            }
        }
        levels.push_back(
            b.AddJump(0, {b.AddVertices(points), b.AddVertexNormals(normals), b.AddFaces(faces)}));
    }
    std::vector<int64_t> meshes;
    for (int m = 0; m < 4; ++m) {
        const int64_t first = levels[static_cast<size_t>(gen.Pick(5))];
        const int64_t second = levels[static_cast<size_t>(gen.Pick(5))];
        meshes.push_back(b.AddLod({first, second}, {100.0f, 10.0f}));
    }
    meshes.push_back(meshes[1]);
    b.SetMeshes(meshes);
    return b.Build();
}

TEST(CornerIndex, IndexedCheckPrintsWhatThePlainScanPrints) {
    for (uint32_t seed = 100; seed < 120; ++seed) {
        AwkwardCoordinates gen(seed);
        OptDocument document;
        document.OpenBytes(RandomModel(gen), "random.opt");
        for (const auto mode : {VertexNormalCheck::WholeModel, VertexNormalCheck::MeshByMesh}) {
            std::vector<std::string> indexedLines;
            std::vector<std::string> plainLines;
            const CheckOutcome indexed =
                RunConsistencyCheck(document, mode, indexedLines, ContributionSearch::Indexed);
            const CheckOutcome plain =
                RunConsistencyCheck(document, mode, plainLines, ContributionSearch::PlainScan);
            ASSERT_EQ(indexedLines, plainLines) << "seed " << seed;
            EXPECT_EQ(indexed.ErrorCount, plain.ErrorCount);
            EXPECT_EQ(indexed.AllOk, plain.AllOk);
        }
    }
}

}  // namespace
}  // namespace vexlor::testing
