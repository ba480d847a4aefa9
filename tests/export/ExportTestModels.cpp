// Export models made by hand.
#include "ExportTestModels.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vexlor::testing {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Normalised(const Vec3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) return {0, 0, 1};
    return {v.x / length, v.y / length, v.z / length};
}

ExportHardpoint Hardpoint(int32_t type, const char* name, Vec3 at, int64_t offset) {
    ExportHardpoint h;
    h.offset = offset;
    h.type = type;
    h.typeName = name;
    h.position = at;
    return h;
}

// A box from `low` to `high` as six faces wound as OPT winds them; the top face is given as two
// triangles, every other face as a quad.
std::vector<ExportFace> Box(Vec3 low, Vec3 high, bool vertexNormals, bool uv) {
    const auto P = [&](int x, int y, int z) {
        return Vec3{x ? high.x : low.x, y ? high.y : low.y, z ? high.z : low.z};
    };
    std::vector<std::vector<Vec3>> quads = {
        {P(0, 0, 0), P(0, 1, 0), P(1, 1, 0), P(1, 0, 0)},  // bottom, -z
        {P(0, 0, 0), P(1, 0, 0), P(1, 0, 1), P(0, 0, 1)},  // front, -y
        {P(1, 1, 0), P(0, 1, 0), P(0, 1, 1), P(1, 1, 1)},  // back, +y
        {P(0, 1, 0), P(0, 0, 0), P(0, 0, 1), P(0, 1, 1)},  // left, -x
        {P(1, 0, 0), P(1, 1, 0), P(1, 1, 1), P(1, 0, 1)},  // right, +x
    };
    // Top, +z, as two triangles.
    quads.push_back({P(0, 0, 1), P(1, 0, 1), P(1, 1, 1)});
    quads.push_back({P(0, 0, 1), P(1, 1, 1), P(0, 1, 1)});
    const Vec3 middle{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    std::vector<ExportFace> faces;
    for (auto& q : quads) {
        // Wound so that the OPT normal points out of the box: A first, the rest reversed if not.
        Vec3 centroid{0, 0, 0};
        for (const Vec3& p : q)
            centroid = {centroid.x + p.x, centroid.y + p.y, centroid.z + p.z};
        const float k = 1.0f / static_cast<float>(q.size());
        const Vec3 out = Sub({centroid.x * k, centroid.y * k, centroid.z * k}, middle);
        const Vec3 n = OptNormal(q[0], q[1], q[2]);
        if (n.x * out.x + n.y * out.y + n.z * out.z < 0) std::reverse(q.begin() + 1, q.end());
        faces.push_back(MakeFace(q, vertexNormals, uv));
    }
    return faces;
}

}  // namespace

Vec3 OptNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 n = Normalised(Cross(Sub(b, a), Sub(c, b)));
    return {-n.x, -n.y, -n.z};
}

ExportFace MakeFace(const std::vector<Vec3>& corners, bool vertexNormals, bool uv) {
    ExportFace face;
    face.normal = OptNormal(corners[0], corners[1], corners[2]);
    for (const Vec3& p : corners) {
        ExportCorner corner;
        corner.position = p;
        if (vertexNormals) {
            // Leaning a little towards +z, so vertex normals differ from face normals.
            corner.normal = Normalised({face.normal.x, face.normal.y, face.normal.z + 0.25f});
        }
        if (uv) corner.uv = TexCoord{0.01f * p.x + 0.5f, 0.02f * p.y + 0.25f};
        face.corners.push_back(corner);
    }
    return face;
}

ExportModel SmallModel() {
    ExportModel model;

    ExportMesh hull;
    hull.index = 0;
    hull.typeCode = 1;
    hull.typeName = "Main hull";
    {
        ExportLevel level;
        level.number = 1;
        level.distance = 100.0f;
        ExportFaceBlock a;
        a.offset = 1000;
        a.texture = std::string("Hull01\0\0\0", 9);
        a.faces = Box({-10, -20, -5}, {10, 20, 5}, true, true);
        ExportFaceBlock b;
        b.offset = 2000;
        b.texture = std::string("Wing 02\0\0", 9);
        b.faces = Box({-30, -5, -1}, {-10, 5, 1}, false, true);
        ExportFaceBlock c;  // the same texture as the first block: the same material
        c.offset = 2500;
        c.texture = a.texture;
        c.faces = Box({10, -5, -1}, {30, 5, 1}, true, true);
        level.faceBlocks = {a, b, c};
        hull.levels.push_back(level);
    }
    {
        ExportLevel level;
        level.number = 2;
        level.distance = 500.0f;
        ExportFaceBlock a;  // no texture, no vertex normals, no texture vertices
        a.offset = 3000;
        a.faces = Box({-9, -19, -4}, {9, 19, 4}, false, false);
        level.faceBlocks = {a};
        hull.levels.push_back(level);
    }
    hull.hardpoints.push_back(Hardpoint(1, "Laser cannon", {-30, -5, 0}, 4000));
    hull.hardpoints.push_back(Hardpoint(5, "Missile launcher", {0, -20, -5}, 4100));
    ExportDescriptor descriptor;
    descriptor.offset = 4200;
    descriptor.type = 1;
    descriptor.typeName = "Main hull";
    descriptor.span = {60, 40, 10};
    descriptor.centre = {0, 0, 0};
    descriptor.minima = {-30, -20, -5};
    descriptor.maxima = {30, 20, 5};
    descriptor.targetGroup = 3;
    descriptor.targetCentre = {0, -20, 0};
    hull.descriptors.push_back(descriptor);
    model.meshes.push_back(hull);

    ExportMesh engine;
    engine.index = 1;
    {
        ExportLevel level;
        level.number = 1;
        ExportFaceBlock a;
        a.offset = 5000;
        a.texture = std::string("Hull01\0\0\0", 9);
        a.faces = Box({-5, 20, -3}, {5, 30, 3}, false, true);
        level.faceBlocks = {a};
        engine.levels.push_back(level);
    }
    engine.hardpoints.push_back(Hardpoint(8, "Engine glow", {0, 30, 0}, 6000));
    model.meshes.push_back(engine);
    return model;
}

ExportModel LargeModel(int faces, int meshes) {
    ExportModel model;
    meshes = std::max(1, meshes);
    const int perMesh = std::max(16, faces / meshes);
    const int firstLevel = perMesh * 4 / 5;
    for (int m = 0; m < meshes; ++m) {
        ExportMesh mesh;
        mesh.index = m;
        mesh.typeCode = m % 3;
        mesh.typeName = m % 3 == 1 ? "Main hull" : "";
        const float originX = 300.0f * static_cast<float>(m);
        for (int l = 0; l < 2; ++l) {
            const int count = l == 0 ? firstLevel : perMesh - firstLevel;
            const int side = std::max(2, static_cast<int>(std::ceil(std::sqrt(count))));
            const float cell = 200.0f / static_cast<float>(side);
            ExportLevel level;
            level.number = l + 1;
            level.distance = l == 0 ? 1000.0f : 4000.0f;
            ExportFaceBlock blocks[2];
            blocks[0].offset = 100000 * m + 10000 * l;
            blocks[0].texture = "Plate" + std::to_string(m);
            blocks[1].offset = blocks[0].offset + 5000;
            blocks[1].texture = "Trim" + std::to_string(m % 2);
            // A gentle swell; each grid point has one vertex normal (the surface's) and one
            // texture vertex, shared by the faces that meet there, as an OPT mesh's tables have.
            const auto point = [&](int i, int j) {
                const float x = originX + cell * static_cast<float>(i);
                const float y = cell * static_cast<float>(j);
                const float z = 8.0f * std::sin(0.05f * x) * std::cos(0.04f * y) +
                                20.0f * static_cast<float>(l);
                ExportCorner corner;
                corner.position = {x, y, z};
                const float dx = 0.4f * std::cos(0.05f * x) * std::cos(0.04f * y);
                const float dy = -0.32f * std::sin(0.05f * x) * std::sin(0.04f * y);
                corner.normal = Normalised({-dx, -dy, 1.0f});
                corner.uv = TexCoord{static_cast<float>(i) / static_cast<float>(side),
                                     static_cast<float>(j) / static_cast<float>(side)};
                return corner;
            };
            int made = 0;
            for (int j = 0; j < side && made < count; ++j) {
                for (int i = 0; i < side && made < count; ++i, ++made) {
                    ExportFace face;
                    face.corners = {point(i, j), point(i, j + 1), point(i + 1, j + 1)};
                    if (made % 5 != 4) face.corners.push_back(point(i + 1, j));  // else a triangle
                    face.normal = OptNormal(face.corners[0].position, face.corners[1].position,
                                            face.corners[2].position);
                    blocks[(i / 8 + j / 8) % 2].faces.push_back(std::move(face));
                }
            }
            level.faceBlocks = {blocks[0], blocks[1]};
            mesh.levels.push_back(std::move(level));
        }
        mesh.hardpoints.push_back(
            Hardpoint(1, "Laser cannon", {originX, 0, 10}, 100000 * m + 90000));
        ExportDescriptor descriptor;
        descriptor.offset = 100000 * m + 95000;
        descriptor.type = mesh.typeCode.value_or(0);
        descriptor.typeName = mesh.typeName;
        descriptor.centre = {originX + 100, 100, 0};
        descriptor.span = {200, 200, 16};
        descriptor.minima = {originX, 0, -8};
        descriptor.maxima = {originX + 200, 200, 8};
        mesh.descriptors.push_back(descriptor);
        model.meshes.push_back(std::move(mesh));
    }
    return model;
}

}  // namespace vexlor::testing
