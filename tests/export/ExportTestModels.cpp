// Export models made by hand.
#include "ExportTestModels.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vexlor::testing {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

Vec3 Normalised(const Vec3& v) {
    const float length = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    if (length == 0.0f) return {0, 0, 1};
    return {v.X / length, v.Y / length, v.Z / length};
}

ExportHardpoint Hardpoint(int32_t type, const char* name, Vec3 at, int64_t offset) {
    ExportHardpoint h;
    h.Offset = offset;
    h.Type = type;
    h.TypeName = name;
    h.Position = at;
    return h;
}

// A box from `low` to `high` as six faces wound as OPT winds them; the top face is given as two
// triangles, every other face as a quad.
std::vector<ExportFace> Box(Vec3 low, Vec3 high, bool vertexNormals, bool uv) {
    const auto P = [&](int x, int y, int z) {
        return Vec3{x ? high.X : low.X, y ? high.Y : low.Y, z ? high.Z : low.Z};
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
    const Vec3 middle{(low.X + high.X) / 2, (low.Y + high.Y) / 2, (low.Z + high.Z) / 2};
    std::vector<ExportFace> faces;
    for (auto& q : quads) {
        // Wound so that the OPT normal points out of the box: A first, the rest reversed if not.
        Vec3 centroid{0, 0, 0};
        for (const Vec3& p : q)
            centroid = {centroid.X + p.X, centroid.Y + p.Y, centroid.Z + p.Z};
        const float k = 1.0f / static_cast<float>(q.size());
        const Vec3 out = Sub({centroid.X * k, centroid.Y * k, centroid.Z * k}, middle);
        const Vec3 n = OptNormal(q[0], q[1], q[2]);
        if (n.X * out.X + n.Y * out.Y + n.Z * out.Z < 0) std::reverse(q.begin() + 1, q.end());
        faces.push_back(MakeFace(q, vertexNormals, uv));
    }
    return faces;
}

}  // namespace

Vec3 OptNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 n = Normalised(Cross(Sub(b, a), Sub(c, b)));
    return {-n.X, -n.Y, -n.Z};
}

ExportFace MakeFace(const std::vector<Vec3>& corners, bool vertexNormals, bool uv) {
    ExportFace face;
    face.Normal = OptNormal(corners[0], corners[1], corners[2]);
    for (const Vec3& p : corners) {
        ExportCorner corner;
        corner.Position = p;
        if (vertexNormals) {
            // Leaning a little towards +z, so vertex normals differ from face normals.
            corner.Normal = Normalised({face.Normal.X, face.Normal.Y, face.Normal.Z + 0.25f});
        }
        if (uv) corner.Uv = TexCoord{0.01f * p.X + 0.5f, 0.02f * p.Y + 0.25f};
        face.Corners.push_back(corner);
    }
    return face;
}

ExportModel SmallModel() {
    ExportModel model;

    ExportMesh hull;
    hull.Index = 0;
    hull.TypeCode = 1;
    hull.TypeName = "Main hull";
    {
        ExportLevel level;
        level.Number = 1;
        level.Distance = 100.0f;
        ExportFaceBlock a;
        a.Offset = 1000;
        a.Texture = std::string("Hull01\0\0\0", 9);
        a.Faces = Box({-10, -20, -5}, {10, 20, 5}, true, true);
        ExportFaceBlock b;
        b.Offset = 2000;
        b.Texture = std::string("Wing 02\0\0", 9);
        b.Faces = Box({-30, -5, -1}, {-10, 5, 1}, false, true);
        ExportFaceBlock c;  // the same texture as the first block: the same material
        c.Offset = 2500;
        c.Texture = a.Texture;
        c.Faces = Box({10, -5, -1}, {30, 5, 1}, true, true);
        level.FaceBlocks = {a, b, c};
        hull.Levels.push_back(level);
    }
    {
        ExportLevel level;
        level.Number = 2;
        level.Distance = 500.0f;
        ExportFaceBlock a;  // no texture, no vertex normals, no texture vertices
        a.Offset = 3000;
        a.Faces = Box({-9, -19, -4}, {9, 19, 4}, false, false);
        level.FaceBlocks = {a};
        hull.Levels.push_back(level);
    }
    hull.Hardpoints.push_back(Hardpoint(1, "Laser cannon", {-30, -5, 0}, 4000));
    hull.Hardpoints.push_back(Hardpoint(5, "Missile launcher", {0, -20, -5}, 4100));
    ExportDescriptor descriptor;
    descriptor.Offset = 4200;
    descriptor.Type = 1;
    descriptor.TypeName = "Main hull";
    descriptor.Span = {60, 40, 10};
    descriptor.Centre = {0, 0, 0};
    descriptor.Minima = {-30, -20, -5};
    descriptor.Maxima = {30, 20, 5};
    descriptor.TargetGroup = 3;
    descriptor.TargetCentre = {0, -20, 0};
    hull.Descriptors.push_back(descriptor);
    model.Meshes.push_back(hull);

    ExportMesh engine;
    engine.Index = 1;
    {
        ExportLevel level;
        level.Number = 1;
        ExportFaceBlock a;
        a.Offset = 5000;
        a.Texture = std::string("Hull01\0\0\0", 9);
        a.Faces = Box({-5, 20, -3}, {5, 30, 3}, false, true);
        level.FaceBlocks = {a};
        engine.Levels.push_back(level);
    }
    engine.Hardpoints.push_back(Hardpoint(8, "Engine glow", {0, 30, 0}, 6000));
    model.Meshes.push_back(engine);
    return model;
}

ExportModel LargeModel(int faces, int meshes) {
    ExportModel model;
    meshes = std::max(1, meshes);
    const int perMesh = std::max(16, faces / meshes);
    const int firstLevel = perMesh * 4 / 5;
    for (int m = 0; m < meshes; ++m) {
        ExportMesh mesh;
        mesh.Index = m;
        mesh.TypeCode = m % 3;
        mesh.TypeName = m % 3 == 1 ? "Main hull" : "";
        const float originX = 300.0f * static_cast<float>(m);
        for (int l = 0; l < 2; ++l) {
            const int count = l == 0 ? firstLevel : perMesh - firstLevel;
            const int side = std::max(2, static_cast<int>(std::ceil(std::sqrt(count))));
            const float cell = 200.0f / static_cast<float>(side);
            ExportLevel level;
            level.Number = l + 1;
            level.Distance = l == 0 ? 1000.0f : 4000.0f;
            ExportFaceBlock blocks[2];
            blocks[0].Offset = 100000 * m + 10000 * l;
            blocks[0].Texture = "Plate" + std::to_string(m);
            blocks[1].Offset = blocks[0].Offset + 5000;
            blocks[1].Texture = "Trim" + std::to_string(m % 2);
            // A gentle swell; each grid point has one vertex normal (the surface's) and one
            // texture vertex, shared by the faces that meet there, as an OPT mesh's tables have.
            const auto point = [&](int i, int j) {
                const float x = originX + cell * static_cast<float>(i);
                const float y = cell * static_cast<float>(j);
                const float z = 8.0f * std::sin(0.05f * x) * std::cos(0.04f * y) +
                                20.0f * static_cast<float>(l);
                ExportCorner corner;
                corner.Position = {x, y, z};
                const float dx = 0.4f * std::cos(0.05f * x) * std::cos(0.04f * y);
                const float dy = -0.32f * std::sin(0.05f * x) * std::sin(0.04f * y);
                corner.Normal = Normalised({-dx, -dy, 1.0f});
                corner.Uv = TexCoord{static_cast<float>(i) / static_cast<float>(side),
                                     static_cast<float>(j) / static_cast<float>(side)};
                return corner;
            };
            int made = 0;
            for (int j = 0; j < side && made < count; ++j) {
                for (int i = 0; i < side && made < count; ++i, ++made) {
                    ExportFace face;
                    face.Corners = {point(i, j), point(i, j + 1), point(i + 1, j + 1)};
                    if (made % 5 != 4) face.Corners.push_back(point(i + 1, j));  // else a triangle
                    face.Normal = OptNormal(face.Corners[0].Position, face.Corners[1].Position,
                                            face.Corners[2].Position);
                    blocks[(i / 8 + j / 8) % 2].Faces.push_back(std::move(face));
                }
            }
            level.FaceBlocks = {blocks[0], blocks[1]};
            mesh.Levels.push_back(std::move(level));
        }
        mesh.Hardpoints.push_back(
            Hardpoint(1, "Laser cannon", {originX, 0, 10}, 100000 * m + 90000));
        ExportDescriptor descriptor;
        descriptor.Offset = 100000 * m + 95000;
        descriptor.Type = mesh.TypeCode.value_or(0);
        descriptor.TypeName = mesh.TypeName;
        descriptor.Centre = {originX + 100, 100, 0};
        descriptor.Span = {200, 200, 16};
        descriptor.Minima = {originX, 0, -8};
        descriptor.Maxima = {originX + 200, 200, 8};
        mesh.Descriptors.push_back(descriptor);
        model.Meshes.push_back(std::move(mesh));
    }
    return model;
}

}  // namespace vexlor::testing
