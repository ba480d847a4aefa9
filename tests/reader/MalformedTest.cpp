// Broken files: every one opens, reports and exports without reading or writing out of range,
// without hanging, and with report lines that say what is wrong and where.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>

#include "TestSupport.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

std::string N(int64_t value) {
    return std::to_string(value);
}

// Everything a user can do with a loaded file.
void Exercise(OptDocument& document) {
    ReportBytes(document);
    PrjBytes(document);
    for (int32_t node = 0; node < document.Model().Tree.Count(); ++node)
        DisplayLines(document, node);
}

std::vector<uint8_t> SmallCompleteModel() {
    OptBuilder b(0x300);
    const int64_t v = b.AddVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    const int64_t n = b.AddVertexNormals({{0, 0, 1}});
    const int64_t t = b.AddTextureVertices({{0, 0}, {1, 1}});
    FaceInput quad;
    quad.Vertex = {0, 1, 2, 3};
    quad.VertexNormal = {0, 0, 0, 0};
    const int64_t f = b.AddFaces({quad, quad});
    const int64_t level = b.AddJump(0, {v, n, t, f});
    const int64_t lod = b.AddLod({level, 0}, {1, 2});
    const int64_t texture = b.AddTexHeader("metal");
    const int64_t pointer = b.AddTexHeaderPointer(b.TextureNamePosition(texture));
    const int64_t root = b.AddJump(
        0, {b.AddMeshDescriptor({}), lod, b.AddHardpoint(3, {1, 1, 1}), texture, pointer});
    b.SetMeshes({root});
    return b.Build();
}

TEST(Malformed, EveryTruncatedPrefixOpensAndReportsSafely) {
    const std::vector<uint8_t> whole = SmallCompleteModel();
    for (size_t length = 0; length <= whole.size(); ++length) {
        // A fresh buffer of exactly this length, so the sanitizer sees any read past it.
        OptDocument document;
        Load(document,
             std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
        Exercise(document);
        EXPECT_LE(static_cast<int64_t>(document.Model().DrawFaces.size()), 2) << length;
    }
}

TEST(Malformed, ACutFacePayloadIsReportedAndOnlyWholeFacesAreRead) {
    std::vector<uint8_t> whole = SmallCompleteModel();
    OptDocument complete;
    Load(complete, whole);
    const auto& table = complete.Model().BlockTable;
    const auto face =
        std::find_if(table.begin(), table.end(), [](const BlockEntry& e) { return e.Type == 1; });
    ASSERT_NE(face, table.end());
    const int64_t faceBlock = face->Offset;
    OptBuilder::PatchInt32(whole, faceBlock + 16, 1000);
    OptDocument document;
    Load(document, whole);
    EXPECT_EQ(static_cast<int64_t>(document.Model().DrawFaces.size()), 0);
    EXPECT_TRUE(
        Contains(ReportLines(document), ": the file holds 0 of 1000, the rest are not read"));
}

// A face block cut at every byte of its three arrays (indices, normals, soft vectors): the faces
// read are exactly those whose three parts lie wholly in the file, and the report prints no other.
TEST(Malformed, AFaceBlockCutInsideItsArraysReadsOnlyTheFacesWhollyInTheFile) {
    // The face block last and its parents before it, so that every cut leaves the way to it.
    OptBuilder b(0x300);
    b.SetMeshes({0});
    const int64_t root = b.AddJump(0, {0, 0});
    b.SetMesh(0, root);
    b.SetSlot(root, 0, b.AddVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}));
    FaceInput face;
    face.Vertex = {0, 1, 2, -1};
    constexpr int64_t kFaces = 3;
    const int64_t block = b.AddFaces(std::vector<FaceInput>(kFaces, face));
    b.SetSlot(root, 1, block);
    const std::vector<uint8_t> whole = b.Build();
    // Each array's start and record size, as the builder lays them out after 4 unread bytes.
    const int64_t payload = block + kBlockHeaderSize;
    const std::pair<int64_t, int64_t> parts[] = {
        {payload + 4, 64}, {payload + 4 + 64 * kFaces, 12}, {payload + 4 + 76 * kFaces, 24}};
    ASSERT_EQ(static_cast<int64_t>(whole.size()), payload + 4 + kFaceRecordSize * kFaces);
    for (int64_t length = parts[0].first; length < static_cast<int64_t>(whole.size()); ++length) {
        int64_t held = 0;
        while (held < kFaces && std::all_of(std::begin(parts), std::end(parts), [&](auto part) {
                   return part.first + part.second * (held + 1) <= length;
               }))
            ++held;
        OptDocument document;
        Load(document, std::vector<uint8_t>(whole.begin(), whole.begin() + length));
        EXPECT_EQ(static_cast<int64_t>(document.Model().DrawFaces.size()), held) << length;
        const std::vector<std::string> lines = ReportLines(document);
        EXPECT_TRUE(Contains(lines, "!! face payload at offset " + N(payload) +
                                        ": the file holds " + N(held) + " of 3"))
            << length;
        // A face's report ends with its second soft vector, the part furthest into the file.
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) {
                                    return line.starts_with("  Softvector 2 is: ");
                                }),
                  held)
            << length;
        if (HasFailure()) break;  // the first wrong cut is enough to read
    }
    // The fighter cut inside the soft vectors of its first face block's first face: the first
    // 31,182 bytes of samples/fighter.opt.
    FighterLayout layout;
    const std::vector<uint8_t> fighter = BuildFighter(layout);
    const int64_t faces = layout.Meshes[0].Faces[0];
    const int32_t count = layout.Meshes[0].FaceCount[0];
    OptDocument cut;
    Load(cut, {fighter.begin(), fighter.begin() + faces + kBlockHeaderSize + 4 + 76 * count + 18});
    EXPECT_TRUE(Contains(ReportLines(cut), ": the file holds 0 of " + N(count)));
}

TEST(Malformed, ASlotLeadingBackToAnAncestorIsNamedAndNotFollowed) {
    OptBuilder b;
    const int64_t inner = b.AddJump(0, {0});
    const int64_t root = b.AddJump(0, {inner});
    b.SetSlot(inner, 0, root);
    b.SetMeshes({root});
    OptDocument document;
    Load(document, b.Build());
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_TRUE(Contains(lines, "       !! Jump address 1 leads back to the block at offset " +
                                    N(root) + " on the current path: not followed"));
    EXPECT_EQ(document.Model().Tree.Count(), 4);  // root, Mesh0, inner, the looping slot's node
    Exercise(document);
}

TEST(Malformed, SharedBlocksCannotExplodeTheWalk) {
    OptBuilder b;
    int64_t level = b.AddVertices({{1, 2, 3}});
    for (int depth = 0; depth < 40; ++depth)
        level = b.AddJump(0, {level, level});
    b.SetMeshes({level});
    OptDocument document;
    Load(document, b.Build());
    EXPECT_TRUE(Contains(ReportLines(document), "!! walk stopped"));
    EXPECT_LT(document.Model().Tree.Count(), 2'000'000);
}

TEST(Malformed, TheWalkBudgetIsTheCallersToChooseAndNeverOverflows) {
    const std::vector<uint8_t> model = SmallCompleteModel();
    OptDocument document;
    document.SetWalkBudget({0, 100});
    Load(document, model);
    EXPECT_TRUE(Contains(ReportLines(document), "!! walk stopped"));
    EXPECT_LT(document.Model().Tree.Count(), 5);
    const int64_t most = std::numeric_limits<int64_t>::max();
    for (const WalkBudget budget : {WalkBudget{}, WalkBudget{most, most}, WalkBudget{-1, -1}}) {
        document.SetWalkBudget(budget);
        Load(document, model);
        EXPECT_EQ(Contains(ReportLines(document), "!! walk stopped"), budget.Floor < 0)
            << budget.PerByte;
    }
}

// A count that the file's bytes can hold is still no table's size: past the walk's limits the
// walk stops, says which limit, holds nothing for the rest and reads nothing more after it.
TEST(Malformed, TheWalksLimitsBoundWhatAClaimMakesItReadOrHold) {
    OptBuilder b;
    std::vector<int64_t> meshes;
    for (int m = 0; m < 40; ++m)
        meshes.push_back(b.AddJump(0, {b.AddVertices({{1, 2, 3}})}));
    meshes[1] = b.AddJump(0, {b.AddVertices(std::vector<V3>(10'000, {1, 2, 3}))});
    b.SetMeshes(meshes);
    const std::vector<uint8_t> file = b.Build();

    OptDocument document;
    document.SetWalkBudget({16, 1 << 16, 12'000, 1 << 20});
    Load(document, file);
    EXPECT_TRUE(Contains(ReportLines(document),
                         "!! walk stopped: the file holds more blocks and records than the 12000 "
                         "bytes this program reads in one walk"));
    EXPECT_LT(document.Tables().VertexTable.size(), 10'000u);
    EXPECT_LT(document.Model().Tree.Count(), 8);  // root, meshes 0 and 1 and their blocks

    document.SetWalkBudget({16, 1 << 16, 64 << 20, 10});
    Load(document, file);
    EXPECT_TRUE(Contains(ReportLines(document),
                         "!! walk stopped: the file leads to more than the 10 blocks this program "
                         "reads in one walk"));
    EXPECT_LE(document.Model().Tree.Count(), 12);  // the root, 10 blocks and the next mesh
    Exercise(document);

    document.SetWalkBudget({16, 1 << 16, 64 << 20, 1 << 17, 1000});
    Load(document, file);
    EXPECT_TRUE(Contains(ReportLines(document),
                         ": 10000 records, more than the 1000 this program reads from one block; "
                         "the rest are not read"));
    EXPECT_EQ(document.Model().Tree.Count(), 1 + 2 * 40);  // the rest of the file is read
}

TEST(Malformed, AVeryDeepChainIsWalkedWithoutRecursion) {
    OptBuilder b;
    int64_t block = b.AddVertices({{1, 2, 3}});
    constexpr int kDepth = 100'000;
    for (int depth = 0; depth < kDepth; ++depth)
        block = b.AddJump(0, {block});
    b.SetMeshes({block});
    OptDocument document;
    Load(document, b.Build());
    const OptModel& store = document.Model();
    ASSERT_EQ(store.Tree.Count(), kDepth + 2);
    EXPECT_EQ(store.Tree.Node(store.Tree.Count() - 1).Depth, kDepth + 1);
    EXPECT_EQ(store.BlockTable.back().Type, 3);
}

TEST(Malformed, CountsBeyondTheFileAreCutToWhatIsThere) {
    OptBuilder b;
    const int64_t v = b.AddVertices({{1, 2, 3}, {4, 5, 6}});
    const int64_t jump = b.AddJump(0, {v});
    b.SetMeshes({jump});
    std::vector<uint8_t> bytes = b.Build();
    OptBuilder::PatchInt32(bytes, v + 16, std::numeric_limits<int32_t>::max());
    OptBuilder::PatchInt32(bytes, jump + 8, std::numeric_limits<int32_t>::max());
    OptBuilder::PatchInt32(bytes, 14, std::numeric_limits<int32_t>::max());
    OptDocument document;
    Load(document, bytes);
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_TRUE(Contains(lines, "!! mesh jump table at offset " + N(b.MeshTablePosition()) +
                                    ": the file holds 1 of 2147483647, the rest are not read"));
    EXPECT_TRUE(Contains(lines, "!! jump table at offset " + N(jump + 24) + ": the file holds"));
    EXPECT_TRUE(Contains(lines, "!! vertex payload at offset " + N(v + 24) + ": the file holds"));
    EXPECT_LT(document.Tables().VertexTable.size(), 3000u);
}

TEST(Malformed, OffsetsOutsideTheFileAreNamed) {
    OptBuilder b(50);
    const int64_t v = b.AddVertices({{1, 2, 3}});
    const int64_t jump = b.AddJump(0, {v, v});
    b.SetMeshes({jump, jump});
    std::vector<uint8_t> bytes = b.Build();
    OptBuilder::PatchInt32(bytes, v + 20, -100000);  // payload before the start
    OptBuilder::PatchInt32(bytes, jump + 24 + 4,
                           std::numeric_limits<int32_t>::max());  // child far beyond
    OptBuilder::PatchInt32(bytes, b.MeshTablePosition() + 4, std::numeric_limits<int32_t>::min());
    OptDocument document;
    Load(document, bytes);
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_TRUE(Contains(lines, "!! vertex payload at offset -100050: the file holds 0 of 1"));
    EXPECT_TRUE(Contains(
        lines, "!! Jump address 2 is to offset 2147483597, outside the file: not followed"));
    EXPECT_TRUE(Contains(lines, "!! Mesh 1 is at offset -2147483698, outside the file"));
    Exercise(document);
}

TEST(Malformed, ADataBlockHeaderCutOffByTheEndOfTheFileIsNamed) {
    // Each reader that reads the count at p + 16 or the payload offset at p + 20; the file ends
    // before the count, or inside it.
    for (int32_t type : {1, 3, 7, 11, 13, 22, 25}) {
        for (size_t kept : {12u, 18u}) {
            OptBuilder b;
            b.SetMeshes({0});
            const int64_t root = b.AddJump(0, {0});
            std::vector<uint8_t> header(kept, 0);
            header[4] = static_cast<uint8_t>(type);
            if (kept > 16) header[16] = 7;  // the low bytes of a count
            const int64_t block = b.AppendRaw(header);
            b.SetSlot(root, 0, block);
            b.SetMesh(0, root);
            OptDocument document;
            Load(document, b.Build());
            const std::string line = "   !! block header at offset " + N(block) +
                                     " runs past the end of the file; what is missing reads as 0";
            EXPECT_TRUE(Contains(ReportLines(document), line)) << type << " " << kept;
            EXPECT_TRUE(Contains(DisplayLines(document, 2), line)) << type << " " << kept;
            Exercise(document);
        }
    }
}

TEST(Malformed, ExtremeGlobalOffsetsDoNotOverflow) {
    for (int32_t field :
         {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        std::vector<uint8_t> bytes = SmallCompleteModel();
        OptBuilder::PatchInt32(bytes, 8, field);
        OptDocument document;
        Load(document, bytes);
        EXPECT_EQ(document.Model().GlobalOffset, int64_t{field} - 8);
        Exercise(document);
    }
}

TEST(Malformed, BadIndicesAreNamedAndDrawnAtTheOrigin) {
    OptBuilder b;
    const int64_t v = b.AddVertices({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    const int64_t n = b.AddVertexNormals({{0, 0, 1}});
    FaceInput face;
    face.Vertex = {-1, 1, 5000, -7};
    face.VertexNormal = {0, 9000, -1, -1};
    const int64_t f = b.AddFaces({face});
    b.SetMeshes({b.AddJump(0, {v, n, f})});
    OptDocument document;
    Load(document, b.Build());
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_TRUE(
        Contains(lines,
                 "   !! corner 0: vertex index -1 is outside the vertex table (2001 entries), "
                 "drawn at the origin"));
    EXPECT_TRUE(Contains(lines, "   !! corner 2: vertex index 5000 is outside the vertex table"));
    EXPECT_TRUE(Contains(lines, "   !! corner 3: vertex index -7 is outside the vertex table"));
    EXPECT_TRUE(Contains(
        lines, "   !! corner 1: vertex normal index 9000 is outside the vertex normal table"));
    const DrawFace& drawn = document.Model().DrawFaces[0];
    EXPECT_EQ(drawn.Corners[0].X, 0.0f);
    EXPECT_EQ(drawn.Corners[1].X, 2.0f);
    EXPECT_EQ(drawn.IsQuad, 1);
    EXPECT_EQ(PrjBytes(document).size(), 4u + 52u);
}

TEST(Malformed, NegativeCountsReadNothingAndKeepFaceNumbering) {
    OptBuilder b;
    FaceInput face;
    const int64_t first = b.AddFaces({face, face});
    const int64_t negative = b.AddFaces({face});
    const int64_t last = b.AddFaces({face});
    b.SetMeshes({b.AddJump(0, {first, negative, last})});
    std::vector<uint8_t> bytes = b.Build();
    OptBuilder::PatchInt32(bytes, negative + 16, -5);
    OptDocument document;
    Load(document, bytes);
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_TRUE(Contains(lines, ": negative count -5, nothing read"));
    EXPECT_TRUE(Contains(lines, "FACE 2"));  // the last block goes on from the first
    EXPECT_FALSE(Contains(lines, "FACE 3"));
    EXPECT_EQ(static_cast<int64_t>(document.Model().DrawFaces.size()), 3);
}

TEST(Malformed, TypeCodesOutsideTheNameTablesGetAPlaceholder) {
    OptBuilder b;
    const int64_t hardpoint = b.AddHardpoint(-3, {0, 0, 0});
    MeshDescriptorInput descriptor;
    descriptor.MeshType = 51;
    b.SetMeshes({b.AddJump(0, {hardpoint, b.AddMeshDescriptor(descriptor)})});
    OptDocument document;
    Load(document, b.Build());
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_TRUE(Contains(lines, "   hardpoint type is -3 : (unknown type)"));
    EXPECT_TRUE(Contains(lines, "   Mesh type is 51 : (unknown type)"));
}

TEST(Malformed, EveryBrokenSampleOpensWithAReportOfWhatIsWrong) {
    // Extreme but well-formed: nothing in them is wrong, they only go beyond the usual capacities.
    const std::set<std::string> wellFormed = {"deep-chain.opt", "over-capacity.opt"};
    for (const auto& [name, bytes] : BuildBrokenSamples()) {
        OptDocument document;
        Load(document, bytes, name);
        const std::vector<std::string> lines = ReportLines(document);
        EXPECT_EQ(Contains(lines, "!!"), !wellFormed.contains(name)) << name;
        Exercise(document);
    }
}

}  // namespace
}  // namespace vexlor::testing
