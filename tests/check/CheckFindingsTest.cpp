// Each finding of the check, produced by a small built file: its lines, their order, and whether
// it is counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "CheckTestSupport.h"
#include "check/CheckRun.h"
#include "check/VectorMath.h"

namespace vexlor::testing {
namespace {

using Lines = std::vector<std::string>;

const V3 kDown{0, 0, -1};
const V3 kUp{0, 0, 1};

// A one-mesh model of the unit square (0, 0) (1, 0) (1, 1) (0, 1), rebuilt normal (0, 0, -1).
MeshParts Square(V3 normal = kDown) {
    MeshParts m = CleanSquare();
    m.faces[0].Normal = normal;
    return m;
}

TEST(CheckFindings, CleanModelGivesTheHeadingsAndAllOk) {
    OptDocument document;
    const Lines lines = CheckLines(document, BuildMeshes({Square()}));
    const Lines expected{"Consistency check...",
                         "",
                         "Checking mesh 0...",
                         "Checking for co-incident vertices...",
                         "Checking face normals by re-calculating...",
                         "Checking Software vectors on-plane...",
                         "Checking vertex normals...",
                         "",
                         "All OK!!"};
    EXPECT_EQ(lines, expected);
    CheckOutcome outcome{};
    RunCheck(document, VertexNormalCheck::WholeModel, &outcome);
    EXPECT_TRUE(outcome.AllOk);
    EXPECT_EQ(outcome.ErrorCount, 0);
}

TEST(CheckFindings, CoincidentCornersOfATriangleAreCountedOnce) {
    // B and C at one place: the edge BC has no length. The rebuilt normal is NaN, so the face
    // normal test says nothing; each of the two corners there contributes to the vertex normal.
    MeshParts m{{{0, 0, 0}, {1, 0, 0}, {1, 0, 0}}, {kDown}, {MakeFace({0, 1, 2, -1}, kDown, {})}};
    const Lines expected{"ERROR! co-incident vertices, mesh 0, face 0!",
                         "   vertex indices are: 0 , 1 , 2 , -1",
                         Triple(0, 0, 0),
                         Triple(1, 0, 0),
                         Triple(1, 0, 0),
                         "errors were detected!!",
                         "Number of errors = 1"};
    EXPECT_EQ(Findings(CheckLines(BuildMeshes({m}))), expected);
}

TEST(CheckFindings, QuadEdgesAndDiagonalAcAreTestedButNotBd) {
    const std::vector<V3> square{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    auto quadWith = [&](int corner, int sameAs) {
        MeshParts m = Square();
        m.vertices[static_cast<size_t>(corner)] = square[static_cast<size_t>(sameAs)];
        return Findings(CheckLines(BuildMeshes({m})));
    };
    const Lines cd = quadWith(3, 2);  // D on C
    ASSERT_EQ(cd.size(), 8u);
    EXPECT_EQ(cd[0], "ERROR! co-incident vertices, mesh 0, face 0!");
    EXPECT_EQ(cd[1], "   vertex indices are: 0 , 1 , 2 , 3");
    EXPECT_EQ(cd[5], Triple(1, 1, 0));
    EXPECT_EQ(cd.back(), "Number of errors = 1");
    // C on A: only the diagonal AC collapses (and the rebuilt normal with it, silently).
    EXPECT_EQ(quadWith(2, 0).front(), "ERROR! co-incident vertices, mesh 0, face 0!");
    // D on B: the diagonal BD is not tested, and nothing else is wrong.
    EXPECT_EQ(quadWith(3, 1), Lines{"All OK!!"});
}

TEST(CheckFindings, ReversedFaceNormalOnlyWarns) {
    MeshParts m = Square(kUp);
    m.normals = {kUp};  // the drawn face's normal is up, so its corners average up
    EXPECT_EQ(Findings(CheckLines(BuildMeshes({m}))),
              (Lines{"WARNING! face normal not consistent with vertex order, mesh 0, face 0!",
                     "All OK!!"}));
}

// Past the 2001 faces a mesh usually holds, a hundred findings are listed and the rest are
// counted under one line, so that a file claiming millions of broken faces stays cheap.
TEST(CheckFindings, FindingsPastAMeshsUsualCapacityAreCountedAndSummedAfterAHundred) {
    const auto run = [](size_t faces, std::vector<std::string>& lines) {
        MeshParts m = Square({0, 0, -2});
        m.faces.assign(faces, m.faces[0]);
        OptDocument document;
        CheckLines(document, BuildMeshes({m}), VertexNormalCheck::None);
        CheckOutcome outcome{};
        lines = RunCheck(document, VertexNormalCheck::None, &outcome);
        return outcome.ErrorCount;
    };
    Lines lines;
    const int32_t perFace = run(1, lines);
    ASSERT_GT(perFace, 0);
    EXPECT_EQ(run(2001 + 150, lines), (2001 + 150) * perFace);
    const auto anomalies = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("ERROR! face normal anomaly");
    });
    EXPECT_EQ(anomalies, 2001 + 100 / perFace);
    EXPECT_TRUE(std::find(lines.begin(), lines.end(),
                          "... and " + std::to_string(150 * perFace - 100) +
                              " more findings about faces past the first 2001 of mesh 0, counted "
                              "but not listed") != lines.end());
}

TEST(CheckFindings, LengthTwoNormalGivesBothAnomaliesWithSignedZeros) {
    // d = 2 fails the face normal test and, ||d| - 1| being 1, the soft vector test. The rebuilt
    // normal is -(0, 0, 1) = (-0, -0, -1), and a value that rounds to zero keeps its sign, as
    // printf's "%10f" does.
    MeshParts m = Square({-0.001f, 0, -2});
    const Lines expected{
        "ERROR! face normal anomaly, mesh 0, face 0!",
        "Stored normal:              -0.00               0.00              -2.00",
        "Calc     normal:              -0.00              -0.00              -1.00",
        "ERROR! softvec anomaly, mesh 0, face 0!",
        "Stored normal:              -0.00               0.00              -2.00",
        "Softvec   normal :               0.00               0.00               1.00",
        "errors were detected!!",
        "Number of errors = 2"};
    EXPECT_EQ(Findings(CheckLines(BuildMeshes({m}))), expected);
}

TEST(CheckFindings, SoftVectorsPassEitherWayRoundAndFailOffThePlane) {
    MeshParts reversed = Square();
    reversed.faces[0].Soft1 = {0, 1, 0};
    reversed.faces[0].Soft2 = {1, 0, 0};
    EXPECT_EQ(Findings(CheckLines(BuildMeshes({reversed}))), Lines{"All OK!!"});

    MeshParts parallel = Square();  // cross product zero: NaN, passes
    parallel.faces[0].Soft2 = {2, 0, 0};
    EXPECT_EQ(Findings(CheckLines(BuildMeshes({parallel}))), Lines{"All OK!!"});

    MeshParts off = Square();
    off.faces[0].Soft2 = {0, 0, 1};
    const Lines found = Findings(CheckLines(BuildMeshes({off})));
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0], "ERROR! softvec anomaly, mesh 0, face 0!");
    EXPECT_EQ(found[2], "Softvec   normal : " + Triple(0, -1, 0));
}

// Each tolerance up to its edge. An edge exactly the tolerance long is one; the next shorter
// float collapses. The dot products pass up to the last float within the tolerance of 1 (or of
// -1 for the reversed normal's warning) and fail at the next, on both sides of 1.
TEST(CheckFindings, EachToleranceHoldsUpToItsEdge) {
    const float t = CheckTolerance;
    const auto allOk = [](const MeshParts& m) {
        OptDocument document;
        CheckLines(document, BuildMeshes({m}));
        CheckOutcome outcome{};
        const Lines lines = RunCheck(document, VertexNormalCheck::WholeModel, &outcome);
        return std::pair{outcome.AllOk, lines};
    };
    for (const float side : {t, std::nextafter(t, 0.0f)}) {
        MeshParts m = Square();
        for (V3& v : m.vertices)
            v = {v.X * side, v.Y * side, v.Z};
        EXPECT_EQ(allOk(m).first, side == t) << side;
    }
    // The last float within the tolerance of 1 from `one` towards `away`.
    const auto edge = [t](float away) {
        float inside = 1.0f;
        while (std::fabs(double{std::nextafter(inside, away)} - 1.0) <= double{t})
            inside = std::nextafter(inside, away);
        return inside;
    };
    for (const float away : {2.0f, 0.0f}) {
        const float inside = edge(away), outside = std::nextafter(inside, away);
        // The stored normal (0, 0, -s) against the rebuilt (0, 0, -1) and the soft vectors' +z.
        EXPECT_TRUE(allOk(Square({0, 0, -inside})).first) << inside;
        const Lines both = Findings(allOk(Square({0, 0, -outside})).second);
        ASSERT_EQ(both.size(), 8u) << outside;
        EXPECT_EQ(both[0], "ERROR! face normal anomaly, mesh 0, face 0!");
        EXPECT_EQ(both[3], "ERROR! softvec anomaly, mesh 0, face 0!");
        // Pointing the other way: only the warning, up to the same edge.
        MeshParts reversed = Square({0, 0, inside});
        reversed.normals = {kUp};
        EXPECT_EQ(Findings(allOk(reversed).second).front(),
                  "WARNING! face normal not consistent with vertex order, mesh 0, face 0!");
        reversed.faces[0].Normal = {0, 0, outside};
        EXPECT_EQ(Findings(allOk(reversed).second).front(),
                  "ERROR! face normal anomaly, mesh 0, face 0!");
    }
    // A vertex normal tilted by x: its dot product with the averaged (0, 0, -1) falls with x.
    const auto vertexNormalPasses = [t](float x) {
        const Vec3 stored = VecNormalised({x, 0, -1});
        return std::fabs(double{VecDot(stored, Vec3{0, 0, -1})} - 1.0) <= double{t};
    };
    uint32_t low = std::bit_cast<uint32_t>(0.1f), high = std::bit_cast<uint32_t>(0.2f);
    while (high - low > 1) {
        const uint32_t middle = low + (high - low) / 2;
        (vertexNormalPasses(std::bit_cast<float>(middle)) ? low : high) = middle;
    }
    for (const uint32_t bits : {low, high}) {
        MeshParts m = Square();
        m.normals = {{std::bit_cast<float>(bits), 0, -1}};
        EXPECT_EQ(allOk(m).first, bits == low) << std::bit_cast<float>(bits);
    }
}

TEST(CheckFindings, ReversedVertexNormalIsCountedPerCorner) {
    MeshParts m = Square();
    m.normals = {kDown, kUp};
    m.faces[0].VertexNormal = {0, 1, 0, 1};
    const Lines lines = CheckLines(BuildMeshes({m}));
    const Lines expected{"Checking vertex normals...",
                         "",
                         "WARNING! Vertex normal anomaly, mesh 0, face 0, vertex 1!",
                         "Stored VN :" + Triple(0, 0, 1),
                         "Calcd   VN :" + Triple(0, 0, -1),
                         "",
                         "WARNING! Vertex normal anomaly, mesh 0, face 0, vertex 3!",
                         "Stored VN :" + Triple(0, 0, 1),
                         "Calcd   VN :" + Triple(0, 0, -1),
                         "",
                         "errors were detected!!",
                         "Number of errors = 2"};
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(Lines(lines.end() - static_cast<long>(expected.size()), lines.end()), expected);
}

TEST(CheckFindings, CornersWithoutContributionsAreListedButNotCounted) {
    MeshParts m = Square();
    m.vertices.push_back({5, 5, 0});
    m.faces.push_back(MakeFace({1, 4, 2, -1}, kDown, {0, 0, 0, -1}));
    OptDocument document;
    document.OpenBytes(BuildMeshes({m}), "model.opt");
    // The mesh's faces tested against empty draw tables, as if no face had been drawn.
    Lines lines;
    ReportSink sink(document.Numbers(), &lines, nullptr);
    const std::vector<DrawFace> noFaces;
    CheckRun run(sink, noFaces, VertexNormalCheck::MeshByMesh, ContributionSearch::Indexed);
    MeshTables tables = document.WalkTables();
    OptWalker walker = document.MeshWalker(tables);
    walker.WalkMesh(0, document.Model().Meshes.MeshPositions.at(0));
    run.CheckMesh(0, tables);
    EXPECT_TRUE(run.CheckAllOk);
    Lines expected(4, "error! no VN contribs found, face 0");
    expected.insert(expected.end(), 3, "error! no VN contribs found, face 1");
    EXPECT_EQ(Findings(lines), expected);
}

// Two meshes meet along an edge at a right angle. Across the whole model the shared corners
// average both faces' normals and disagree with each mesh's own vertex normals.
TEST(CheckFindings, OtherMeshesContributeOnlyAcrossTheWholeModel) {
    const MeshParts floor = Square();
    MeshParts wall{{{1, 0, 0}, {1, 1, 0}, {1, 1, -1}, {1, 0, -1}},
                   {{1, 0, 0}},
                   {MakeFace({0, 1, 2, 3}, {1, 0, 0}, {0, 0, 0, 0})}};
    wall.faces[0].Soft1 = {0, 1, 0};
    wall.faces[0].Soft2 = {0, 0, 1};
    const std::vector<uint8_t> model = BuildMeshes({floor, wall});

    EXPECT_EQ(Findings(CheckLines(model, VertexNormalCheck::MeshByMesh)), Lines{"All OK!!"});
    const Lines whole = Findings(CheckLines(model, VertexNormalCheck::WholeModel));
    const float half = 0.707106769f;
    const Lines expected{"WARNING! Vertex normal anomaly, mesh 0, face 0, vertex 1!",
                         "Stored VN :" + Triple(0, 0, -1),
                         "Calcd   VN :" + Triple(half, 0, -half),
                         "WARNING! Vertex normal anomaly, mesh 0, face 0, vertex 2!",
                         "Stored VN :" + Triple(0, 0, -1),
                         "Calcd   VN :" + Triple(half, 0, -half),
                         "WARNING! Vertex normal anomaly, mesh 1, face 0, vertex 0!",
                         "Stored VN :" + Triple(1, 0, 0),
                         "Calcd   VN :" + Triple(half, 0, -half),
                         "WARNING! Vertex normal anomaly, mesh 1, face 0, vertex 1!",
                         "Stored VN :" + Triple(1, 0, 0),
                         "Calcd   VN :" + Triple(half, 0, -half),
                         "errors were detected!!",
                         "Number of errors = 4"};
    EXPECT_EQ(whole, expected);

    // "none" still writes the heading, and nothing after it.
    const Lines none = CheckLines(model, VertexNormalCheck::None);
    EXPECT_EQ(Findings(none), Lines{"All OK!!"});
    EXPECT_EQ(std::count(none.begin(), none.end(), "Checking vertex normals..."), 2);
}

// Indices that name no entry stand for the origin; nothing is read outside a table.
TEST(CheckFindings, IndicesOutsideTheTablesAreTheOrigin) {
    MeshParts m = Square();
    m.faces[0].Vertex = {0, 1, 2, 999999};
    m.faces[0].VertexNormal = {-7, 1 << 30, 0, 0};
    // A negative fourth index other than -1 still makes a triangle; its C is at the origin.
    m.faces.push_back(MakeFace({1, 2, -50, -2}, kDown, {0, 0, 0, -1}));
    // The open's problems with them come first, each counted; face 0's D, at the origin,
    // coincides with A.
    const Lines expected{
        "!! corner 3: vertex index 999999 is outside the vertex table (2001 "
        "entries), drawn at the origin",
        "!! corner 1: vertex normal index 1073741824 is outside the vertex "
        "normal table (2001 entries)",
        "!! corner 2: vertex index -50 is outside the vertex table (2001 "
        "entries), drawn at the origin",
        "!! corner 3: vertex index -2 is outside the vertex table (2001 "
        "entries), drawn at the origin",
        "ERROR! co-incident vertices, mesh 0, face 0!",
        "   vertex indices are: 0 , 1 , 2 , 999999",
        Triple(0, 0, 0),
        Triple(1, 0, 0),
        Triple(1, 1, 0),
        Triple(0, 0, 0),
        "errors were detected!!",
        "Number of errors = 5"};
    EXPECT_EQ(Findings(CheckLines(BuildMeshes({m}))), expected);
}

// NaN or an infinity in any vector the check reads passes every comparison, so each is a counted
// finding of its own, as a stored vertex normal of no length is; the comparisons that would read
// the vector are left out for its face, so nothing is counted twice.
TEST(CheckFindings, NonFiniteVectorsAndZeroVertexNormalsAreCountedFindings) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        MeshParts Model;
        std::string First;   // the finding's first line
        std::string Second;  // and the next
        int32_t Count;
    };
    std::vector<Case> cases;
    cases.push_back({Square({nan, -0.186793f, -0.982288f}),
                     "ERROR! non-finite face normal, mesh 0, face 0!",
                     "Stored normal: " + Triple(nan, -0.186793f, -0.982288f), 1});
    // Before, also a face normal anomaly and a softvec anomaly.
    cases.push_back({Square({0, 0, -inf}), "ERROR! non-finite face normal, mesh 0, face 0!",
                     "Stored normal: " + Triple(0, 0, -inf), 1});
    MeshParts soft = Square();
    soft.faces[0].Soft2 = {0, nan, 0};
    cases.push_back(
        {soft, "ERROR! non-finite softvec, mesh 0, face 0!", "Softvec 1 :" + Triple(1, 0, 0), 1});
    MeshParts vertex = Square();
    vertex.vertices[2].Z = inf;
    cases.push_back({vertex, "ERROR! non-finite vertex, mesh 0, face 0, vertex 2!",
                     "   vertex index is: 2", 1});
    // One entry for all four corners: a finding at each.
    MeshParts normal = Square();
    normal.normals = {{nan, 0, -1}};
    cases.push_back({normal, "ERROR! non-finite vertex normal, mesh 0, face 0, vertex 0!",
                     "Stored VN :" + Triple(nan, 0, -1), 4});
    MeshParts zero = Square();
    zero.normals = {{0, 0, 0}};
    cases.push_back({zero, "ERROR! zero-length vertex normal, mesh 0, face 0, vertex 0!",
                     "Stored VN :" + Triple(0, 0, 0), 4});
    for (const Case& c : cases) {
        OptDocument document;
        CheckLines(document, BuildMeshes({c.Model}));
        CheckOutcome outcome{};
        std::vector<CheckFinding> findings;
        std::vector<std::string> lines;
        outcome = RunConsistencyCheck(document, VertexNormalCheck::WholeModel, lines,
                                      ContributionSearch::Indexed, &findings);
        const Lines found = Findings(lines);
        ASSERT_GE(found.size(), 4u) << c.First;
        EXPECT_EQ(found[0], c.First);
        EXPECT_EQ(found[1], c.Second) << c.First;
        EXPECT_EQ(found[found.size() - 2], "errors were detected!!") << c.First;
        EXPECT_EQ(found.back(), "Number of errors = " + std::to_string(c.Count)) << c.First;
        EXPECT_FALSE(outcome.AllOk);
        EXPECT_EQ(outcome.ErrorCount, c.Count) << c.First;
        ASSERT_EQ(findings.size(), static_cast<size_t>(c.Count)) << c.First;
        EXPECT_TRUE(findings[0].Counted);
        EXPECT_EQ(findings[0].Text, c.First);
        EXPECT_EQ(findings[0].Mesh, 0);
        EXPECT_EQ(findings[0].Face, 0);
        EXPECT_GT(findings[0].RecordOffset, 0) << c.First;
    }
}

}  // namespace
}  // namespace vexlor::testing
