// SampleModels: the fighter sample, a small ship of four meshes with three levels of detail.
//
// Meshes: 0 hull, 1 port wing, 2 starboard wing, 3 engine. Each mesh root holds a mesh
// descriptor, a type-21 block with three level jump blocks (vertices, vertex normals, texture
// vertices, texture header or pointer, faces) and hardpoints of types 1 to 11. The blocks are
// laid out parent first, in the order a walk visits them.
//
// All levels of a mesh carry the mesh's whole vertex pool and normal pool. The consistency
// check re-reads a mesh and tests every level's faces against the tables the last level left
// behind, so identical tables keep each level's faces pointing at the right corners. Meshes keep
// at least half a unit apart, so no corner of one mesh lies near a corner of another and both
// vertex normal modes of the check compute the same averages.
#include <functional>

#include "samples/OptBuilder.h"
#include "samples/SampleGeometry.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {

namespace {

constexpr int32_t kFighterOffset = 0x00A01230;
constexpr int kLevels = 3;

// Creates jump blocks with empty slots and fills them in as their children are appended, so
// every parent lies before its children in the file. Counts the tree nodes a walk will add.
class TreeWriter {
  public:
    explicit TreeWriter(OptBuilder& b) : b_(b) {}
    OptBuilder& builder() { return b_; }
    int64_t jump(int32_t type, int slots) {
        return b_.AddJump(type, std::vector<int64_t>(static_cast<size_t>(slots), 0));
    }
    void link(int64_t parent, int slot, int64_t child) {
        b_.SetSlot(parent, slot, child);
        ++nodes_;
    }
    int nodes() const { return nodes_; }

  private:
    OptBuilder& b_;
    int nodes_ = 0;
};

// Appends one level: its jump block, then vertices, vertex normals, texture vertices, the
// texture blocks made by `textures`, and the faces.
int64_t WriteLevel(TreeWriter& w, const MeshGeometry& g, int level, int32_t jumpType,
                   const std::vector<std::function<int64_t()>>& textures, FighterMesh& info) {
    const int slots = 4 + static_cast<int>(textures.size());
    const int64_t jump = w.jump(jumpType, slots);
    int slot = 0;
    w.link(jump, slot++, w.builder().AddVertices(g.points()));
    w.link(jump, slot++, w.builder().AddVertexNormals(g.vertexNormals()));
    w.link(jump, slot++, w.builder().AddTextureVertices(g.textureVertices()));
    for (const auto& texture : textures)
        w.link(jump, slot++, texture());
    const std::vector<FaceInput> faces = g.faceRecords(level);
    const int64_t faceBlock = w.builder().AddFaces(faces);
    w.link(jump, slot++, faceBlock);

    const auto l = static_cast<size_t>(level);
    info.Level[l] = jump;
    info.Faces[l] = faceBlock;
    info.FaceCount[l] = static_cast<int32_t>(faces.size());
    info.TriangleCount[l] = 0;
    for (const FaceInput& f : faces)
        info.TriangleCount[l] += f.Vertex[3] < 0 ? 1 : 0;
    return jump;
}

MeshDescriptorInput Describe(const MeshGeometry& g, int32_t meshType, int32_t targetGroup) {
    const auto [lo, hi] = g.bounds();
    MeshDescriptorInput d;
    d.MeshType = meshType;
    d.Unknown = 0;
    d.Span = {hi.X - lo.X, hi.Y - lo.Y, hi.Z - lo.Z};
    d.Centre = {(lo.X + hi.X) / 2, (lo.Y + hi.Y) / 2, (lo.Z + hi.Z) / 2};
    d.Minima = lo;
    d.Maxima = hi;
    d.TargetGroup = targetGroup;
    d.TargetCentre = d.Centre;
    return d;
}

// A small texture payload: a 4 x 4 pattern of palette indices and 16 bytes of colour.
std::vector<uint8_t> TexturePayload(uint8_t seed) {
    std::vector<uint8_t> bytes(32);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(seed + 7 * i);
    return bytes;
}

// The ship is modelled nose along z with y up, in units of 1/16 of its final size, then turned a
// quarter about x so that, as in OPT models, z is up and the nose points along -y, and scaled to
// about 15 metres: (x, y, z) becomes 16 (x, -z, y). A power of two keeps every value exact.
V3 ZUp(V3 p) {
    return {16 * p.X, -16 * p.Z, 16 * p.Y};
}
Frame ZUp(const Frame& f) {
    return {ZUp(f.Origin), ZUp(f.Axis), ZUp(f.Across), ZUp(f.Up)};
}

MeshGeometry Hull() {
    const Frame frame = ZUp(Frame{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    const Outline octagon{{1, 1.5f}, {2, 0.5f},   {2, -0.5f}, {1, -1},
                          {-1, -1},  {-2, -0.5f}, {-2, 0.5f}, {-1, 1.5f}};
    const Outline diamond{{2, 0}, {0, -1}, {-2, 0}, {0, 1.5f}};
    const std::vector<Station> coarse{{-12, 1, 0, 0},
                                      {-6, 1.25f, 0, 0},
                                      {0, 1.25f, 0, 0.25f},
                                      {6, 0.75f, 0, 0},
                                      {12, 0.5f, 0, -0.25f}};
    MeshGeometry g(kLevels);
    AddLoft(g, 0,
            {frame, RefineOutline(octagon), RefineStations(RefineStations(coarse)), Cap::Fan,
             Cap::Fan, 14.0f});
    AddLoft(g, 1, {frame, octagon, coarse, Cap::QuadFan, Cap::Fan, 14.0f});
    AddLoft(g, 2, {frame, diamond, {coarse.front(), coarse.back()}, Cap::Flat, Cap::Fan, 14.0f});
    return g;
}

MeshGeometry Wing(float side) {
    const Frame frame = ZUp(Frame{{3 * side, 0, -4}, {side, 0, 0}, {0, 0, 1}, {0, 1, 0}});
    const Outline hexagon{{3, 0}, {1.5f, 0.5f}, {-2, 0.5f}, {-3, 0}, {-2, -0.5f}, {1.5f, -0.5f}};
    const Outline diamond{{3, 0}, {0, 0.5f}, {-3, 0}, {0, -0.5f}};
    const std::vector<Station> coarse{{0, 1, 0, 0}, {4, 0.75f, -0.5f, 0}, {8, 0.5f, -1, 0}};
    MeshGeometry g(kLevels);
    AddLoft(g, 0,
            {frame,
             RefineOutline(hexagon),
             RefineStations(RefineStations(coarse)),
             Cap::Fan,
             Cap::Fan,
             {}});
    AddLoft(g, 1, {frame, hexagon, coarse, Cap::Flat, Cap::Flat, {}});
    AddLoft(g, 2, {frame, diamond, {coarse.front(), coarse.back()}, Cap::Flat, Cap::Flat, {}});
    return g;
}

MeshGeometry Engine() {
    const Frame frame = ZUp(Frame{{0, 0, -12.5f}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}});
    const Outline octagon{{0.5f, 1},   {1, 0.5f},   {1, -0.5f}, {0.5f, -1},
                          {-0.5f, -1}, {-1, -0.5f}, {-1, 0.5f}, {-0.5f, 1}};
    const Outline square{{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    const std::vector<Station> coarse{{0, 1, 0, 0}, {2, 1, 0, 0}, {4, 1.25f, 0, 0}};
    MeshGeometry g(kLevels);
    AddLoft(g, 0,
            {frame,
             RefineOutline(octagon),
             RefineStations(RefineStations(coarse)),
             Cap::Fan,
             Cap::Fan,
             {}});
    AddLoft(g, 1, {frame, octagon, coarse, Cap::QuadFan, Cap::QuadFan, {}});
    AddLoft(g, 2, {frame, square, {coarse.front(), coarse.back()}, Cap::Flat, Cap::Flat, {}});
    return g;
}

const std::vector<float> kLodDistances{3000.0f, 750.5f, 125.25f};

}  // namespace

std::vector<uint8_t> BuildFighter() {
    FighterLayout layout;
    return BuildFighter(layout);
}

std::vector<uint8_t> BuildFighter(FighterLayout& layout) {
    return BuildFighter(layout, kFighterOffset);
}

std::vector<uint8_t> BuildFighter(FighterLayout& layout, int32_t globalOffset) {
    OptBuilder b(globalOffset);
    TreeWriter w(b);
    layout = {};
    layout.GlobalOffset = globalOffset;
    layout.MeshTable = b.SetMeshes({0, 0, 0, 0});
    layout.Meshes.resize(4);

    const MeshGeometry hullShape = Hull();
    const MeshGeometry portShape = Wing(-1);
    const MeshGeometry starboardShape = Wing(1);
    const MeshGeometry engineShape = Engine();

    auto begin = [&](int mesh, int32_t meshType, int32_t targetGroup, const MeshGeometry& g,
                     int slots) {
        FighterMesh& info = layout.Meshes[static_cast<size_t>(mesh)];
        info.MeshType = meshType;
        info.VertexCount = static_cast<int32_t>(g.points().size());
        info.Root = w.jump(0, slots);
        b.SetMesh(mesh, info.Root);
        info.Descriptor = b.AddMeshDescriptor(Describe(g, meshType, targetGroup));
        w.link(info.Root, 0, info.Descriptor);
        return info.Root;
    };
    auto lod = [&](int mesh, int64_t root, int slot) {
        FighterMesh& info = layout.Meshes[static_cast<size_t>(mesh)];
        info.Lod = b.AddLod({0, 0, 0}, kLodDistances);
        w.link(root, slot, info.Lod);
        return info.Lod;
    };
    auto hardpoints = [&](int mesh, int64_t root, int firstSlot,
                          const std::vector<std::pair<int32_t, V3>>& list) {
        FighterMesh& info = layout.Meshes[static_cast<size_t>(mesh)];
        int slot = firstSlot;
        for (const auto& [type, at] : list) {
            const int64_t h = b.AddHardpoint(type, ZUp(at));
            info.Hardpoints.emplace_back(type, h);
            w.link(root, slot++, h);
        }
    };
    auto pointerTo = [&](const int64_t& header) {
        return [&b, &header] { return b.AddTexHeaderPointer(b.TextureNamePosition(header)); };
    };

    // Mesh 0, hull: level blocks of type 24; two texture headers in the first level.
    int64_t hullPlate = 0;
    {
        FighterMesh& info = layout.Meshes[0];
        const int64_t root = begin(0, 1, 0, hullShape, 7);
        const int64_t lodBlock = lod(0, root, 1);
        auto plate = [&] {
            hullPlate = b.AddTexHeader("HullPlate", {0});
            w.link(hullPlate, 0, b.AddDataBlock(26, 16, TexturePayload(3)));
            return hullPlate;
        };
        auto canopy = [&] { return b.AddTexHeader("Canopy"); };
        w.link(lodBlock, 0, WriteLevel(w, hullShape, 0, 24, {plate, canopy}, info));
        w.link(lodBlock, 1, WriteLevel(w, hullShape, 1, 24, {pointerTo(hullPlate)}, info));
        w.link(lodBlock, 2, WriteLevel(w, hullShape, 2, 24, {pointerTo(hullPlate)}, info));
        hardpoints(0, root, 2,
                   {{1, {1.25f, -0.75f, 9}},
                    {2, {-1.25f, -0.75f, 9}},
                    {5, {0, -1.5f, 3}},
                    {6, {0, -1.5f, -3}},
                    {7, {0, 2, -3}}});
    }

    // Mesh 1, port wing: its first level holds the texture header both wings use; the last
    // slot of the root is empty.
    int64_t wingSkin = 0;
    {
        FighterMesh& info = layout.Meshes[1];
        const int64_t root = begin(1, 2, 1, portShape, 5);
        const int64_t lodBlock = lod(1, root, 1);
        auto skin = [&] { return wingSkin = b.AddTexHeader("WingSkin"); };
        w.link(lodBlock, 0, WriteLevel(w, portShape, 0, 0, {skin}, info));
        w.link(lodBlock, 1, WriteLevel(w, portShape, 1, 0, {pointerTo(wingSkin)}, info));
        w.link(lodBlock, 2, WriteLevel(w, portShape, 2, 0, {pointerTo(wingSkin)}, info));
        hardpoints(1, root, 2, {{3, {-11.5f, 0, -5.5f}}, {9, {-7, 0, -2}}});
    }

    // Mesh 2, starboard wing: points at the port wing's texture; ends in a jump block
    // without slots.
    {
        FighterMesh& info = layout.Meshes[2];
        const int64_t root = begin(2, 3, 1, starboardShape, 6);
        const int64_t lodBlock = lod(2, root, 1);
        for (int level = 0; level < kLevels; ++level) {
            w.link(lodBlock, level,
                   WriteLevel(w, starboardShape, level, 0, {pointerTo(wingSkin)}, info));
        }
        hardpoints(2, root, 2, {{4, {11.5f, 0, -5.5f}}, {10, {7, 0, -2}}, {11, {6, -0.75f, -4}}});
        w.link(root, 5, b.AddJump(0, {}));
    }

    // Mesh 3, engine: its texture header sits in a type-24 block of its own, outside the
    // levels of detail.
    {
        FighterMesh& info = layout.Meshes[3];
        const int64_t root = begin(3, 4, 2, engineShape, 4);
        const int64_t textures = w.jump(24, 1);
        w.link(root, 1, textures);
        const int64_t exhaust = b.AddTexHeader("Exhaust", {0});
        w.link(textures, 0, exhaust);
        w.link(exhaust, 0, b.AddDataBlock(26, 16, TexturePayload(11)));
        const int64_t lodBlock = lod(3, root, 2);
        for (int level = 0; level < kLevels; ++level) {
            w.link(lodBlock, level,
                   WriteLevel(w, engineShape, level, 0, {pointerTo(exhaust)}, info));
        }
        hardpoints(3, root, 3, {{8, {0, 0, -17}}});
    }

    layout.TreeNodes = w.nodes() + static_cast<int32_t>(layout.Meshes.size());
    return b.Build();
}

}  // namespace vexlor::testing
