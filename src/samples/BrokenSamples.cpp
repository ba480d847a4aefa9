// BrokenSamples: malformed OPT files for robustness tests. Each builder below says what the
// file breaks and where; every file stays well under 200 KB.
#include <cstdint>
#include <limits>
#include <string>

#include "samples/OptBuilder.h"
#include "samples/SampleGeometry.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// Header field positions.
constexpr int64_t kSlotCountField = 8;
constexpr int64_t kSlotTableField = 12;
constexpr int64_t kCountField = 16;
constexpr int64_t kPayloadField = 20;

using Sample = std::pair<std::string, std::vector<uint8_t>>;

// A unit box around `centre`: six quads, eight corners.
MeshGeometry Box(V3 centre) {
    MeshGeometry g(1);
    const Outline square{{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    AddLoft(g, 0,
            {{centre, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
             square,
             {{-1, 1, 0, 0}, {1, 1, 0, 0}},
             Cap::Flat,
             Cap::Flat,
             {}});
    return g;
}

struct BoxBlocks {
    int64_t Root = 0, Lod = 0, Level = 0, Vertices = 0, Normals = 0, TextureVertices = 0, Faces = 0;
};

// A level jump block with the box's vertices, vertex normals, texture vertices and faces, plus
// `extraSlots` empty slots at the end.
BoxBlocks AddBoxLevel(OptBuilder& b, V3 centre, int extraSlots = 0) {
    const MeshGeometry g = Box(centre);
    BoxBlocks out;
    out.Level = b.AddJump(0, std::vector<int64_t>(static_cast<size_t>(4 + extraSlots), 0));
    out.Vertices = b.AddVertices(g.points());
    out.Normals = b.AddVertexNormals(g.vertexNormals());
    out.TextureVertices = b.AddTextureVertices(g.textureVertices());
    out.Faces = b.AddFaces(g.faceRecords(0));
    b.SetSlot(out.Level, 0, out.Vertices);
    b.SetSlot(out.Level, 1, out.Normals);
    b.SetSlot(out.Level, 2, out.TextureVertices);
    b.SetSlot(out.Level, 3, out.Faces);
    return out;
}

// A whole mesh: root (type 0) -> type 21 with one level -> the box level.
BoxBlocks AddBoxMesh(OptBuilder& b, V3 centre, int extraRootSlots = 0) {
    const int64_t root =
        b.AddJump(0, std::vector<int64_t>(static_cast<size_t>(1 + extraRootSlots), 0));
    const int64_t lod = b.AddLod({0}, {500.0f});
    b.SetSlot(root, 0, lod);
    BoxBlocks out = AddBoxLevel(b, centre);
    b.SetSlot(lod, 0, out.Level);
    out.Root = root;
    out.Lod = lod;
    return out;
}

// A stored offset for a position that may lie anywhere, wrapping like the file's 32-bit field.
int32_t StoredAnywhere(const OptBuilder& b, int64_t position) {
    return static_cast<int32_t>(static_cast<uint32_t>(position + b.GlobalOffset()));
}

// truncated.opt: the fighter cut inside the last face block of the file (the engine's third
// level), after the first five indices of its fourth face. The header still gives the full
// file size; everything the walk reaches before that block is intact.
Sample Truncated() {
    FighterLayout layout;
    std::vector<uint8_t> file = BuildFighter(layout);
    const int64_t faces = layout.Meshes.back().Faces.back();
    const int64_t cut = faces + kBlockHeaderSize + 4 + 16 * 4 * 3 + 5 * 4;
    file.resize(static_cast<size_t>(cut));
    return {"truncated.opt", file};
}

// loop.opt: slots that lead back to jump blocks already being walked.
//   mesh 0: root -> type 21 -> level whose fifth slot points back at the mesh root;
//   mesh 1: a root whose second slot points at itself;
//   mesh 2: two jump blocks (types 0 and 24) pointing at each other;
//   mesh 3: a texture header (type 20, walked as a jump block) listing itself as its child;
//   mesh 4: an intact box, reached only by a walk that gets past the loops.
Sample Loop() {
    OptBuilder b(0x00100000);
    b.SetMeshes({0, 0, 0, 0, 0});

    const int64_t root0 = b.AddJump(0, {0});
    const int64_t lod = b.AddLod({0}, {500.0f});
    b.SetSlot(root0, 0, lod);
    const BoxBlocks level = AddBoxLevel(b, {0, 0, 0}, 1);
    b.SetSlot(lod, 0, level.Level);
    b.SetSlot(level.Level, 4, root0);
    b.SetMesh(0, root0);

    const int64_t root1 = b.AddJump(0, {0, 0});
    b.SetSlot(root1, 0, b.AddHardpoint(1, {0, 2, 0}));
    b.SetSlot(root1, 1, root1);
    b.SetMesh(1, root1);

    const int64_t root2 = b.AddJump(0, {0});
    const int64_t other = b.AddJump(24, {0, 0});
    b.SetSlot(root2, 0, other);
    b.SetSlot(other, 0, b.AddHardpoint(2, {0, -2, 0}));
    b.SetSlot(other, 1, root2);
    b.SetMesh(2, root2);

    const int64_t root3 = b.AddJump(0, {0});
    const int64_t texture = b.AddTexHeader("Loop", {0});
    b.SetSlot(texture, 0, texture);
    b.SetSlot(root3, 0, texture);
    b.SetMesh(3, root3);

    b.SetMesh(4, AddBoxMesh(b, {10, 0, 0}).Root);
    return {"loop.opt", b.Build()};
}

// huge-counts.opt: counts of 2^31 - 1 over tables of a few entries.
//   mesh 0: root jump block with 2^31 - 1 slots; it is the last block of the file, so only its
//           first two slots (a hardpoint and a box level) lie inside the file;
//   mesh 1: box whose vertex, vertex normal and texture vertex blocks claim 2^31 - 1 entries;
//   mesh 2: box whose face block claims 2^31 - 1 faces;
//   mesh 3: box whose type-21 block claims 2^31 - 1 detail levels (one distance stored), and
//           whose mesh descriptor and hardpoint carry 2^31 - 1 in their unused count field.
Sample HugeCounts() {
    OptBuilder b(0x00A01230);
    b.SetMeshes({0, 0, 0, 0});
    std::vector<std::pair<int64_t, int32_t>> patches;  // count field positions

    const BoxBlocks m1 = AddBoxMesh(b, {0, 0, 0});
    b.SetMesh(1, m1.Root);
    patches.emplace_back(m1.Vertices + kCountField, kMax);
    patches.emplace_back(m1.Normals + kCountField, kMax);
    patches.emplace_back(m1.TextureVertices + kCountField, kMax);

    const BoxBlocks m2 = AddBoxMesh(b, {5, 0, 0});
    b.SetMesh(2, m2.Root);
    patches.emplace_back(m2.Faces + kCountField, kMax);

    const BoxBlocks m3 = AddBoxMesh(b, {10, 0, 0}, 2);
    b.SetMesh(3, m3.Root);
    patches.emplace_back(m3.Lod + kCountField, kMax);
    const int64_t descriptor = b.AddMeshDescriptor({});
    const int64_t hardpoint = b.AddHardpoint(3, {10, 2, 0});
    b.SetSlot(m3.Root, 1, descriptor);
    b.SetSlot(m3.Root, 2, hardpoint);
    patches.emplace_back(descriptor + kCountField, kMax);
    patches.emplace_back(hardpoint + kCountField, kMax);

    const int64_t first = b.AddHardpoint(1, {15, 2, 0});
    const BoxBlocks second = AddBoxLevel(b, {15, 0, 0});
    const int64_t root0 = b.AddJump(0, {first, second.Level});
    b.SetMesh(0, root0);
    patches.emplace_back(root0 + kSlotCountField, kMax);

    std::vector<uint8_t> file = b.Build();
    for (const auto& [at, value] : patches)
        OptBuilder::PatchInt32(file, at, value);
    return {"huge-counts.opt", file};
}

// huge-mesh-count.opt: NumJumps is 2^31 - 1; the mesh jump table is the last thing in the file
// and holds one real entry (a box mesh).
Sample HugeMeshCount() {
    OptBuilder b(0x00A01230);
    const BoxBlocks mesh = AddBoxMesh(b, {0, 0, 0});
    b.SetMeshes({mesh.Root});
    std::vector<uint8_t> file = b.Build();
    OptBuilder::PatchInt32(file, 14, kMax);
    return {"huge-mesh-count.opt", file};
}

// offsets-outside.opt: stored offsets that land outside the file, with a global offset of
// 0x00A01230 so that small stored values turn into negative positions.
//   mesh table: [mesh A, end of file + 8, position -100, INT32_MIN, 0 (= -GlobalOffset), -1,
//                mesh B (intact box)].
//   mesh A root slots: children at end of file + 8, position -24, INT32_MIN, INT32_MAX; a jump
//     block whose slot table lies past the end; one whose slot table lies at position -64; a
//     type-21 block whose distance table lies past the end; level L.
//   level L slots: vertices with payload past the end, vertex normals with payload at -12,
//     texture vertices with payload INT32_MIN, intact box vertices, faces whose payload starts
//     40 bytes before the end (so it runs off the file), a hardpoint with payload at -16, a
//     mesh descriptor with payload INT32_MAX, a texture header whose name lies far past the
//     end, one whose 9-byte name starts 4 bytes before the end, texture pointers whose name
//     lies at -9 and at INT32_MIN.
Sample OffsetsOutside() {
    OptBuilder b(0x00A01230);
    b.SetMeshes({0, 0, 0, 0, 0, 0, 0});

    const int64_t rootA = b.AddJump(0, std::vector<int64_t>(8, 0));
    b.SetMesh(0, rootA);
    const int64_t lostTable = b.AddJump(0, {0, 0});
    const int64_t negativeTable = b.AddJump(0, {0, 0});
    const int64_t lod = b.AddLod({0}, {1.0f, 2.0f});
    const int64_t level = b.AddJump(0, std::vector<int64_t>(11, 0));
    b.SetSlot(rootA, 4, lostTable);
    b.SetSlot(rootA, 5, negativeTable);
    b.SetSlot(rootA, 6, lod);
    b.SetSlot(rootA, 7, level);

    const MeshGeometry g = Box({0, 0, 0});
    const int64_t vertices = b.AddVertices(g.points());
    const int64_t normals = b.AddVertexNormals(g.vertexNormals());
    const int64_t uv = b.AddTextureVertices(g.textureVertices());
    const int64_t goodVertices = b.AddVertices(g.points());
    const int64_t faces = b.AddFaces(g.faceRecords(0));
    const int64_t hardpoint = b.AddHardpoint(5, {0, 3, 0});
    const int64_t descriptor = b.AddMeshDescriptor({});
    const int64_t farName = b.AddTexHeader("FarAway");
    const int64_t tailName = b.AddTexHeader("TailEnd");
    const int64_t negativeName = b.AddTexHeaderPointer(b.TextureNamePosition(farName));
    const int64_t minName = b.AddTexHeaderPointer(b.TextureNamePosition(farName));
    const std::vector<int64_t> levelSlots{vertices, normals,      uv,         goodVertices,
                                          faces,    hardpoint,    descriptor, farName,
                                          tailName, negativeName, minName};
    for (size_t i = 0; i < levelSlots.size(); ++i) {
        b.SetSlot(level, static_cast<int>(i), levelSlots[i]);
    }

    const BoxBlocks meshB = AddBoxMesh(b, {10, 0, 0});
    b.SetMesh(6, meshB.Root);

    std::vector<uint8_t> file = b.Build();
    const auto end = static_cast<int64_t>(file.size());
    auto stored = [&](int64_t position) { return StoredAnywhere(b, position); };
    auto patch = [&](int64_t at, int32_t value) { OptBuilder::PatchInt32(file, at, value); };
    auto slotOf = [&](int64_t jump, int slot) {
        return int64_t{OptBuilder::ReadInt32(file, jump + kSlotTableField)} - b.GlobalOffset() +
               4 * slot;
    };

    const int64_t table = b.MeshTablePosition();
    patch(table + 4, stored(end + 8));
    patch(table + 8, stored(-100));
    patch(table + 12, kMin);
    patch(table + 16, 0);
    patch(table + 20, -1);

    patch(slotOf(rootA, 0), stored(end + 8));
    patch(slotOf(rootA, 1), stored(-24));
    patch(slotOf(rootA, 2), kMin);
    patch(slotOf(rootA, 3), kMax);
    patch(lostTable + kSlotTableField, stored(end + 4096));
    patch(negativeTable + kSlotTableField, stored(-64));
    patch(lod + kPayloadField, stored(end + 100));

    patch(vertices + kPayloadField, stored(end + 12));
    patch(normals + kPayloadField, stored(-12));
    patch(uv + kPayloadField, kMin);
    patch(faces + kPayloadField, stored(end - 40));
    patch(hardpoint + kPayloadField, stored(-16));
    patch(descriptor + kPayloadField, kMax);
    patch(farName, stored(end + 1000000));
    patch(tailName, stored(end - 4));
    patch(negativeName + kPayloadField, stored(-9));
    patch(minName + kPayloadField, kMin);
    return {"offsets-outside.opt", file};
}

// mesh-table-outside.opt: three meshes announced, their jump table 4096 bytes past the end of
// the file; an intact box mesh lies in the file but nothing points at it.
Sample MeshTableOutside() {
    OptBuilder b(0x00A01230);
    AddBoxMesh(b, {0, 0, 0});
    b.SetMeshes({0, 0, 0});
    std::vector<uint8_t> file = b.Build();
    // The table itself was the last thing written; cut it off and point past the end.
    file.resize(file.size() - 12);
    OptBuilder::PatchInt32(file, 4, static_cast<int32_t>(file.size() - 8));
    OptBuilder::PatchInt32(file, 18, StoredAnywhere(b, static_cast<int64_t>(file.size()) + 4096));
    return {"mesh-table-outside.opt", file};
}

// global-offset-overflow.opt: the global offset field is INT32_MIN + 4, so the field minus 8
// does not fit in 32 bits. Otherwise an intact box mesh written for a global offset of 0.
Sample GlobalOffsetOverflow() {
    OptBuilder b(0);
    const BoxBlocks mesh = AddBoxMesh(b, {0, 0, 0});
    b.SetMeshes({mesh.Root});
    std::vector<uint8_t> file = b.Build();
    OptBuilder::PatchInt32(file, 8, kMin + 4);
    return {"global-offset-overflow.opt", file};
}

// bad-indices.opt:
//   mesh 0: three mesh descriptors with type codes 51, -1 and INT32_MAX; four hardpoints with
//     type codes -3, 51, INT32_MAX and INT32_MIN; a level with the eight box vertices and
//     normals and the faces listed in BadFaces();
//   mesh 1: negative counts: a jump block with -2 slots, a type-21 block with -4 detail levels,
//     and a level whose vertex (-5), vertex normal (-1), texture vertex (-2) and face (-3)
//     counts are negative, followed by an intact face block of two faces (which a reader that
//     trusts the -3 would store from face index -3 on), and a hardpoint whose unused count
//     field is -7.
std::vector<FaceInput> BadFaces() {
    const std::vector<std::array<int32_t, 4>> vertex{
        {0, 1, 5000, 2},     // third index far beyond the table
        {2001, 0, 1, -1},    // first index one past the table's capacity
        {-1, 1, 2, 3},       // -1 as first corner
        {0, -1, 2, -1},      // -1 as second corner of a triangle
        {0, 1, -1, -1},      // -1 as third corner
        {kMin, kMax, 0, 1},  // extreme indices
        {0, 1, 2, 3},        // vertex indices fine; other index groups bad (below)
        {8, 9, 10, -1},      // within capacity but beyond the eight vertices read
        {-2, 0, 1, -1},      // negative first corner other than -1
        {0, 1, 2, -5},       // negative fourth corner other than -1: a "quad"
        {0, 1, 2, 2001},     // fourth corner one past the capacity
    };
    std::vector<FaceInput> faces;
    for (const auto& v : vertex) {
        FaceInput f;
        f.Vertex = v;
        f.Edge = {0, 1, 2, 3};
        f.TextureVertex = {0, 1, 2, 3};
        f.VertexNormal = {0, 1, 2, v[3] < 0 ? -1 : 3};
        f.Normal = {0, 1, 0};
        f.Soft1 = {1, 0, 0};
        f.Soft2 = {0, 0, 1};
        faces.push_back(f);
    }
    faces[6].VertexNormal = {2001, -5, kMax, 1000};
    faces[6].Edge = {-1, 99999, kMin, 5};
    faces[6].TextureVertex = {kMax, -9, 3, 2};
    return faces;
}

Sample BadIndices() {
    OptBuilder b(0x00200000);
    b.SetMeshes({0, 0});

    const int64_t root0 = b.AddJump(0, std::vector<int64_t>(8, 0));
    b.SetMesh(0, root0);
    int slot = 0;
    for (int32_t type : {51, -1, kMax}) {
        MeshDescriptorInput d;
        d.MeshType = type;
        b.SetSlot(root0, slot++, b.AddMeshDescriptor(d));
    }
    for (int32_t type : {-3, 51, kMax, kMin}) {
        b.SetSlot(root0, slot++, b.AddHardpoint(type, {1, 2, 3}));
    }
    const MeshGeometry g = Box({0, 0, 0});
    const int64_t level0 = b.AddJump(0, {0, 0, 0});
    b.SetSlot(root0, slot++, level0);
    b.SetSlot(level0, 0, b.AddVertices(g.points()));
    b.SetSlot(level0, 1, b.AddVertexNormals(g.vertexNormals()));
    b.SetSlot(level0, 2, b.AddFaces(BadFaces()));

    const int64_t root1 = b.AddJump(0, {0, 0, 0});
    b.SetMesh(1, root1);
    const int64_t negativeJump = b.AddJump(0, {0, 0});
    b.SetSlot(negativeJump, 0, b.AddHardpoint(1, {0, 0, 0}));
    b.SetSlot(root1, 0, negativeJump);
    const int64_t lod = b.AddLod({0}, {100.0f});
    b.SetSlot(root1, 1, lod);
    const int64_t level1 = b.AddJump(0, std::vector<int64_t>(5, 0));
    b.SetSlot(lod, 0, level1);
    const int64_t vertices = b.AddVertices(g.points());
    const int64_t normals = b.AddVertexNormals(g.vertexNormals());
    const int64_t uv = b.AddTextureVertices(g.textureVertices());
    const int64_t negativeFaces = b.AddFaces(g.faceRecords(0));
    std::vector<FaceInput> two = g.faceRecords(0);
    two.resize(2);
    const int64_t goodFaces = b.AddFaces(two);
    for (int i = 0; const int64_t block : {vertices, normals, uv, negativeFaces, goodFaces}) {
        b.SetSlot(level1, i++, block);
    }
    const int64_t hardpoint = b.AddHardpoint(4, {0, 1, 0});
    b.SetSlot(root1, 2, hardpoint);

    std::vector<uint8_t> file = b.Build();
    OptBuilder::PatchInt32(file, negativeJump + kSlotCountField, -2);
    OptBuilder::PatchInt32(file, lod + kCountField, -4);
    OptBuilder::PatchInt32(file, vertices + kCountField, -5);
    OptBuilder::PatchInt32(file, normals + kCountField, -1);
    OptBuilder::PatchInt32(file, uv + kCountField, -2);
    OptBuilder::PatchInt32(file, negativeFaces + kCountField, -3);
    OptBuilder::PatchInt32(file, hardpoint + kCountField, -7);
    return {"bad-indices.opt", file};
}

// diamond.opt: 40 stacked jump blocks, each with two slots to the block below it, over one box
// level (six faces). Every path is finite, but a walk that revisits shared blocks would visit
// the box 2^40 times.
Sample Diamond() {
    OptBuilder b(0);
    int64_t below = AddBoxLevel(b, {0, 0, 0}).Level;
    for (int i = 0; i < 40; ++i)
        below = b.AddJump(0, {below, below});
    b.SetMeshes({below});
    return {"diamond.opt", b.Build()};
}

// deep-chain.opt: 5000 jump blocks nested one inside the next, over one box level.
Sample DeepChain() {
    OptBuilder b(0);
    int64_t below = AddBoxLevel(b, {0, 0, 0}).Level;
    for (int i = 0; i < 5000; ++i)
        below = b.AddJump(0, {below});
    b.SetMeshes({below});
    return {"deep-chain.opt", b.Build()};
}

// header-only.opt: the first 10 bytes of the fighter (the header stops inside the global
// offset field). empty.opt: no bytes at all.
Sample HeaderOnly() {
    std::vector<uint8_t> file = BuildFighter();
    file.resize(10);
    return {"header-only.opt", file};
}

// over-capacity.opt: a file that is well formed but larger than the reader's tables.
//   One vertex block and one vertex normal block of 2100 entries (a 50 x 42 grid in y = 0),
//   one face block of 1100 quads over it.
//   mesh 0: type 21 with two levels, both listing that vertex, normal and face block: 2200
//     faces in the mesh;
//   mesh 1: the same again: 4400 faces in the model;
//   mesh 2: a jump block with 1100 slots, all pointing at one hardpoint: over 1000 tree nodes.
// The geometry is a flat plate, so it stays consistent whatever is read of it.
Sample OverCapacity() {
    OptBuilder b(0x00300000);
    b.SetMeshes({0, 0, 0});
    constexpr int kColumns = 50;
    constexpr int kRows = 42;
    std::vector<V3> points;
    for (int z = 0; z < kRows; ++z) {
        for (int x = 0; x < kColumns; ++x) {
            points.push_back({static_cast<float>(x), 0, static_cast<float>(z)});
        }
    }
    std::vector<FaceInput> faces;
    for (int z = 0; z + 1 < kRows && faces.size() < 1100; ++z) {
        for (int x = 0; x + 1 < kColumns && faces.size() < 1100; ++x) {
            const int32_t a = z * kColumns + x;
            FaceInput f;
            f.Vertex = {a, a + 1, a + 1 + kColumns, a + kColumns};
            f.VertexNormal = f.Vertex;
            f.TextureVertex = {0, 0, 0, 0};
            f.Edge = {0, 1, 2, 3};
            f.Normal = {0, 1, 0};
            f.Soft1 = {1, 0, 0};
            f.Soft2 = {0, 0, 1};
            faces.push_back(f);
        }
    }
    const int64_t vertices = b.AddVertices(points);
    const int64_t normals = b.AddVertexNormals(std::vector<V3>(points.size(), V3{0, 1, 0}));
    const int64_t faceBlock = b.AddFaces(faces);
    const int64_t level = b.AddJump(0, {vertices, normals, faceBlock});
    for (int mesh = 0; mesh < 2; ++mesh) {
        const int64_t lod = b.AddLod({level, level}, {100.0f, 200.0f});
        b.SetMesh(mesh, b.AddJump(0, {lod}));
    }
    const int64_t hardpoint = b.AddHardpoint(8, {1, 1, 1});
    b.SetMesh(2, b.AddJump(0, std::vector<int64_t>(1100, hardpoint)));
    return {"over-capacity.opt", b.Build()};
}

// misaligned.opt (global offset 0): pointers that do not land on block starts.
//   mesh table: [0, which makes the file header itself the mesh root; a face block as mesh
//     root; a position 6 bytes into a vertex payload; mesh M].
//   mesh M root slots: a position 6 bytes into the vertex payload, position 1 (inside the file
//     header), data blocks of types -1, INT32_MAX, 51 and 2 (no reader), the distance table of
//     a type-21 block, and an intact box level.
Sample Misaligned() {
    OptBuilder b(0);
    b.SetMeshes({0, 0, 0, 0});
    const BoxBlocks level = AddBoxLevel(b, {0, 0, 0});
    const int64_t lod = b.AddLod({0}, {7.5f, 0.25f});
    const int64_t distances = lod + kBlockHeaderSize + 4;  // after its one slot
    const int64_t inPayload = level.Vertices + kBlockHeaderSize + 6;
    std::vector<int64_t> slots{inPayload, 1};
    for (int32_t type : {-1, kMax, 51, 2}) {
        slots.push_back(b.AddDataBlock(type, 4, {1, 2, 3, 4, 5, 6, 7, 8}));
    }
    slots.push_back(distances);
    slots.push_back(level.Level);
    const int64_t root = b.AddJump(0, slots);
    b.SetMesh(1, level.Faces);
    b.SetMesh(2, inPayload);
    b.SetMesh(3, root);
    // Entry 0 stays a stored 0; with a global offset of 0 that is file position 0.
    return {"misaligned.opt", b.Build()};
}

}  // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildBrokenSamples() {
    std::vector<Sample> out;
    out.push_back(Truncated());
    out.push_back(Loop());
    out.push_back(HugeCounts());
    out.push_back(HugeMeshCount());
    out.push_back(OffsetsOutside());
    out.push_back(MeshTableOutside());
    out.push_back(GlobalOffsetOverflow());
    out.push_back(BadIndices());
    out.push_back(Diamond());
    out.push_back(DeepChain());
    out.push_back(HeaderOnly());
    out.push_back({"empty.opt", {}});
    out.push_back(OverCapacity());
    out.push_back(Misaligned());
    return out;
}

}  // namespace vexlor::testing
