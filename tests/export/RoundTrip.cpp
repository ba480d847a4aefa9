// Expectations from the documented rules, and their comparison with an imported scene.
#include "RoundTrip.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>

namespace vexlor::testing {

namespace {

struct Dbl {
    double x = 0, y = 0, z = 0;
};

std::optional<Dbl> UnitOf(double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!std::isfinite(length) || length < 1e-30) return std::nullopt;
    return Dbl{x / length, y / length, z / length};
}

bool Finite(const Vec3& v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

// The documented frame: x mirrored, (-x, y, z); y up turns that into (-x, z, -y).
aiVector3D Turn(double x, double y, double z, bool yUp) {
    return yUp ? aiVector3D(static_cast<float>(-x), static_cast<float>(z), static_cast<float>(-y))
               : aiVector3D(static_cast<float>(-x), static_cast<float>(y), static_cast<float>(z));
}

aiVector3D Place(const Vec3& p, const ExpectOptions& o) {
    return Turn(p.X * o.scale, p.Y * o.scale, p.Z * o.scale, o.yUp);
}

float Distance(const aiVector3D& a, const aiVector3D& b) {
    return (a - b).Length();
}

struct ImportedFace {
    int32_t mesh = -1;
    int32_t level = -1;
    std::vector<aiVector3D> positions;
    std::vector<aiVector3D> normals;
    std::vector<aiVector3D> uvs;
    aiVector3D centroid;
};

// "mesh M LOD N" of a node, or the same from an aiMesh name "mesh_M_LOD_N_...".
bool ParseLevelName(const std::string& name, int32_t& mesh, int32_t& level) {
    int m = 0, l = 0, used = 0;
    if (std::sscanf(name.c_str(), "mesh %d LOD %d%n", &m, &l, &used) == 2 &&
        static_cast<size_t>(used) == name.size()) {
        mesh = m;
        level = l;
        return true;
    }
    if (std::sscanf(name.c_str(), "mesh_%d_LOD_%d_%n", &m, &l, &used) == 2 && used > 0) {
        mesh = m;
        level = l;
        return true;
    }
    return false;
}

class Flattener {
  public:
    Flattener(const aiScene& scene, bool byNodes, bool byMeshNames)
        : scene_(scene), byNodes_(byNodes), byMeshNames_(byMeshNames) {}

    void Walk(const aiNode& node, const aiMatrix4x4& parent, int32_t mesh, int32_t level) {
        const aiMatrix4x4 global = parent * node.mTransformation;
        nodes_.emplace(node.mName.C_Str(), global);
        if (byNodes_) ParseLevelName(node.mName.C_Str(), mesh, level);
        const aiMatrix3x3 turn(global);
        for (unsigned int i = 0; i < node.mNumMeshes; ++i) {
            const aiMesh& m = *scene_.mMeshes[node.mMeshes[i]];
            int32_t meshIndex = mesh, levelIndex = level;
            if (byMeshNames_) ParseLevelName(m.mName.C_Str(), meshIndex, levelIndex);
            for (unsigned int f = 0; f < m.mNumFaces; ++f) {
                const aiFace& face = m.mFaces[f];
                ImportedFace out;
                out.mesh = meshIndex;
                out.level = levelIndex;
                for (unsigned int c = 0; c < face.mNumIndices; ++c) {
                    const unsigned int v = face.mIndices[c];
                    const aiVector3D p = global * m.mVertices[v];
                    out.positions.push_back(p);
                    out.centroid += p;
                    if (m.mNormals != nullptr) {
                        aiVector3D n = turn * m.mNormals[v];
                        out.normals.push_back(n.NormalizeSafe());
                    }
                    if (m.mTextureCoords[0] != nullptr) out.uvs.push_back(m.mTextureCoords[0][v]);
                }
                if (!out.positions.empty())
                    out.centroid /= static_cast<float>(out.positions.size());
                faces_.push_back(std::move(out));
            }
        }
        for (unsigned int i = 0; i < node.mNumChildren; ++i)
            Walk(*node.mChildren[i], global, mesh, level);
    }

    std::vector<ImportedFace>& Faces() { return faces_; }
    const std::multimap<std::string, aiMatrix4x4>& Nodes() const { return nodes_; }

  private:
    const aiScene& scene_;
    bool byNodes_;
    bool byMeshNames_;
    std::vector<ImportedFace> faces_;
    std::multimap<std::string, aiMatrix4x4> nodes_;
};

class Failures {
  public:
    void Add(const std::string& kind, const std::string& text) {
        if (++count_[kind] <= 4) lines_.push_back(text);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines = lines_;
        for (const auto& [kind, n] : count_)
            if (n > 4) lines.push_back(kind + ": " + std::to_string(n) + " in all");
        return lines;
    }

  private:
    std::map<std::string, int> count_;
    std::vector<std::string> lines_;
};

std::string Text(const aiVector3D& v) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "(%g, %g, %g)", v.x, v.y, v.z);
    return buffer;
}

}  // namespace

Expectation Expect(const ExportModel& model, const ExpectOptions& o) {
    Expectation e;
    bool first = true;
    int64_t hardpoint = 0, descriptor = 0;
    for (const ExportMesh& mesh : model.Meshes) {
        e.meshNodes.push_back("mesh " + std::to_string(mesh.Index) +
                              (mesh.TypeName.empty() ? "" : " " + mesh.TypeName));
        for (const ExportLevel& level : mesh.Levels) {
            if (o.lod != 0 && level.Number != o.lod) continue;
            // Texture vertices come per mesh of the scene: per level and texture.
            std::map<std::optional<std::string>, bool> hasUv;
            for (const ExportFaceBlock& block : level.FaceBlocks)
                for (const ExportFace& face : block.Faces) {
                    bool usable = face.Corners.size() >= 3;
                    for (const ExportCorner& c : face.Corners)
                        usable = usable && Finite(c.Position);
                    if (!usable) continue;
                    for (const ExportCorner& c : face.Corners)
                        if (c.Uv && std::isfinite(c.Uv->U) && std::isfinite(c.Uv->V))
                            hasUv[block.Texture] = true;
                }
            for (const ExportFaceBlock& block : level.FaceBlocks) {
                for (const ExportFace& face : block.Faces) {
                    const size_t n = face.Corners.size();
                    bool usable = n >= 3;
                    for (const ExportCorner& c : face.Corners)
                        usable = usable && Finite(c.Position);
                    if (!usable) continue;
                    std::optional<Dbl> fn;
                    if (Finite(face.Normal))
                        fn = UnitOf(face.Normal.X, face.Normal.Y, face.Normal.Z);
                    if (!fn) {
                        // The OPT rule: N = -(AB x BC); Newell's sum for any corner count.
                        Dbl s;
                        for (size_t i = 0; i < n; ++i) {
                            const Vec3& a = face.Corners[i].Position;
                            const Vec3& b = face.Corners[(i + 1) % n].Position;
                            s.x += (double{a.Y} - b.Y) * (double{a.Z} + b.Z);
                            s.y += (double{a.Z} - b.Z) * (double{a.X} + b.X);
                            s.z += (double{a.X} - b.X) * (double{a.Y} + b.Y);
                        }
                        fn = UnitOf(-s.x, -s.y, -s.z);
                    }
                    if (!fn) fn = Dbl{0, 0, 1};
                    const aiVector3D faceNormal = Turn(fn->x, fn->y, fn->z, o.yUp);
                    const bool uv = hasUv[block.Texture];
                    // Counter-clockwise once x is mirrored: the file's order.
                    std::vector<size_t> order;
                    for (size_t i = 0; i < n; ++i)
                        order.push_back(i);
                    ExpectedPrimitive all;
                    all.mesh = mesh.Index;
                    all.level = level.Number;
                    all.normal = faceNormal;
                    for (size_t i : order) {
                        const ExportCorner& c = face.Corners[i];
                        const aiVector3D p = Place(c.Position, o);
                        all.positions.push_back(p);
                        if (first) {
                            e.low = e.high = p;
                            first = false;
                        }
                        e.low = aiVector3D(std::min(e.low.x, p.x), std::min(e.low.y, p.y),
                                           std::min(e.low.z, p.z));
                        e.high = aiVector3D(std::max(e.high.x, p.x), std::max(e.high.y, p.y),
                                            std::max(e.high.z, p.z));
                        std::optional<Dbl> vn;
                        if (c.Normal && Finite(*c.Normal))
                            vn = UnitOf(c.Normal->X, c.Normal->Y, c.Normal->Z);
                        all.normals.push_back(vn ? Turn(vn->x, vn->y, vn->z, o.yUp) : faceNormal);
                        if (uv) {
                            const bool has =
                                c.Uv && std::isfinite(c.Uv->U) && std::isfinite(c.Uv->V);
                            all.uvs.push_back(has ? aiVector3D(c.Uv->U, 1.0f - c.Uv->V, 0)
                                                  : aiVector3D(0, 1, 0));
                        }
                    }
                    const auto add = [&](ExpectedPrimitive p) {
                        e.corners += static_cast<int64_t>(p.positions.size());
                        ++e.perLevel[{p.mesh, p.level}];
                        e.primitives.push_back(std::move(p));
                    };
                    if (!o.triangulate) {
                        add(all);
                        continue;
                    }
                    // Split along A-C: A B C and A C D (a fan from A for longer outlines).
                    for (size_t t = 1; t + 1 < n; ++t) {
                        ExpectedPrimitive tri = all;
                        tri.positions.clear();
                        tri.normals.clear();
                        tri.uvs.clear();
                        for (size_t k : {size_t{0}, t, t + 1}) {
                            tri.positions.push_back(all.positions[k]);
                            tri.normals.push_back(all.normals[k]);
                            if (!all.uvs.empty()) tri.uvs.push_back(all.uvs[k]);
                        }
                        add(std::move(tri));
                    }
                }
            }
        }
        for (const ExportHardpoint& h : mesh.Hardpoints) {
            std::string name =
                "hardpoint " + std::to_string(hardpoint++) + ": " + std::to_string(h.Type);
            if (!h.TypeName.empty()) name += " " + h.TypeName;
            e.hardpoints.emplace_back(name, Place(h.Position, o));
        }
        for (const ExportDescriptor& d : mesh.Descriptors) {
            const std::string prefix = "descriptor " + std::to_string(descriptor++);
            std::string name = prefix + ": " + std::to_string(d.Type);
            if (!d.TypeName.empty()) name += " " + d.TypeName;
            e.descriptors.emplace_back(name, Place(d.Centre, o));
            e.descriptors.emplace_back(prefix + " minima", Place(d.Minima, o));
            e.descriptors.emplace_back(prefix + " maxima", Place(d.Maxima, o));
            e.descriptors.emplace_back(prefix + " target group " + std::to_string(d.TargetGroup),
                                       Place(d.TargetCentre, o));
        }
    }
    return e;
}

std::vector<std::string> Compare(const aiScene& scene, const Expectation& expected,
                                 const CompareOptions& options,
                                 const std::vector<std::string>& materialNames) {
    Failures failures;
    Flattener flat(scene, options.nodes, options.meshNames);
    flat.Walk(*scene.mRootNode, aiMatrix4x4(), -1, -1);
    std::vector<ImportedFace>& faces = flat.Faces();
    const double tolerance = options.positionTolerance;

    // Counts.
    int64_t corners = 0;
    std::map<std::pair<int32_t, int32_t>, int64_t> perLevel;
    aiVector3D low, high;
    bool first = true;
    for (const ImportedFace& face : faces) {
        corners += static_cast<int64_t>(face.positions.size());
        ++perLevel[{face.mesh, face.level}];
        for (const aiVector3D& p : face.positions) {
            if (first) {
                low = high = p;
                first = false;
            }
            low = aiVector3D(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
            high = aiVector3D(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
    }
    if (faces.size() != expected.primitives.size())
        failures.Add("faces", "faces: " + std::to_string(faces.size()) + " read back, " +
                                  std::to_string(expected.primitives.size()) + " written");
    if (corners != expected.corners)
        failures.Add("corners", "corners: " + std::to_string(corners) + " read back, " +
                                    std::to_string(expected.corners) + " written");
    if (options.nodes || options.meshNames) {
        if (perLevel != expected.perLevel) {
            for (const auto& [key, n] : expected.perLevel) {
                const auto found = perLevel.find(key);
                const int64_t got = found == perLevel.end() ? 0 : found->second;
                if (got != n)
                    failures.Add("level", "mesh " + std::to_string(key.first) + " LOD " +
                                              std::to_string(key.second) + ": " +
                                              std::to_string(got) + " faces read back, " +
                                              std::to_string(n) + " written");
            }
            for (const auto& [key, n] : perLevel)
                if (expected.perLevel.count(key) == 0)
                    failures.Add("level", "faces outside any written level: mesh " +
                                              std::to_string(key.first) + " LOD " +
                                              std::to_string(key.second) + ": " +
                                              std::to_string(n));
        }
    }
    if (Distance(low, expected.low) > tolerance || Distance(high, expected.high) > tolerance)
        failures.Add("box", "bounding box " + Text(low) + " - " + Text(high) + ", written " +
                                Text(expected.low) + " - " + Text(expected.high));

    if (options.nodes) {
        const auto& nodes = flat.Nodes();
        for (const std::string& name : expected.meshNodes)
            if (nodes.count(name) != 1)
                failures.Add("node", "mesh node \"" + name + "\" not read back once");
        std::vector<std::pair<std::string, aiVector3D>> placed = expected.hardpoints;
        placed.insert(placed.end(), expected.descriptors.begin(), expected.descriptors.end());
        for (const auto& [name, at] : placed) {
            if (nodes.count(name) != 1) {
                failures.Add("node", "node \"" + name + "\" not read back once");
                continue;
            }
            const aiMatrix4x4& m = nodes.find(name)->second;
            const aiVector3D p(m.a4, m.b4, m.c4);
            if (Distance(p, at) > tolerance)
                failures.Add("node",
                             "node \"" + name + "\" at " + Text(p) + ", written at " + Text(at));
        }
    }
    if (options.materials) {
        std::set<std::string> names;
        for (unsigned int i = 0; i < scene.mNumMaterials; ++i) {
            aiString name;
            scene.mMaterials[i]->Get(AI_MATKEY_NAME, name);
            names.insert(name.C_Str());
        }
        for (const std::string& name : materialNames)
            if (names.count(name) == 0)
                failures.Add("material", "material \"" + name + "\" not read back");
    }

    // Sampled faces: found by their centroid, then corner by corner in their order.
    std::vector<std::pair<float, size_t>> byX;
    std::vector<aiVector3D> centroids(expected.primitives.size());
    for (size_t i = 0; i < expected.primitives.size(); ++i) {
        aiVector3D c;
        for (const aiVector3D& p : expected.primitives[i].positions)
            c += p;
        c /= static_cast<float>(expected.primitives[i].positions.size());
        centroids[i] = c;
        byX.emplace_back(c.x, i);
    }
    std::sort(byX.begin(), byX.end());
    std::vector<bool> used(expected.primitives.size(), false);
    const auto positionsMatch = [&](const ImportedFace& face, const ExpectedPrimitive& want,
                                    size_t shift) {
        const size_t n = want.positions.size();
        for (size_t k = 0; k < n; ++k)
            if (Distance(face.positions[(k + shift) % n], want.positions[k]) > tolerance)
                return false;
        return true;
    };
    const auto attributeDifference = [&](const ImportedFace& face, const ExpectedPrimitive& want,
                                         size_t shift) -> std::string {
        const size_t n = want.positions.size();
        if (options.normals) {
            if (face.normals.size() != n) return "no normals read back";
            for (size_t k = 0; k < n; ++k)
                if (Distance(face.normals[(k + shift) % n], want.normals[k]) > 1e-3f)
                    return "normal " + Text(face.normals[(k + shift) % n]) + ", written " +
                           Text(want.normals[k]);
        }
        if (options.facetNormals) {
            if (face.normals.size() != n) return "no normals read back";
            if (face.normals[0] * want.normal < 0.5f)
                return "facet normal " + Text(face.normals[0]) + " against the face normal " +
                       Text(want.normal);
        }
        if (options.uvs && !want.uvs.empty()) {
            if (face.uvs.size() != n) return "no texture coordinates read back";
            for (size_t k = 0; k < n; ++k) {
                const aiVector3D a = face.uvs[(k + shift) % n], b = want.uvs[k];
                if (std::fabs(a.x - b.x) > 1e-4f || std::fabs(a.y - b.y) > 1e-4f)
                    return "texture coordinate " + Text(a) + ", written " + Text(b);
            }
        }
        return {};
    };
    const int every = std::max(1, options.sampleEvery);
    for (size_t f = 0; f < faces.size(); f += static_cast<size_t>(every)) {
        const ImportedFace& face = faces[f];
        const auto from = std::lower_bound(
            byX.begin(), byX.end(),
            std::make_pair(face.centroid.x - static_cast<float>(tolerance), size_t{0}));
        std::string difference = "no written face there";
        size_t match = expected.primitives.size();
        for (auto it = from; it != byX.end() && it->first <= face.centroid.x + tolerance; ++it) {
            const size_t i = it->second;
            const ExpectedPrimitive& want = expected.primitives[i];
            if (used[i] || want.positions.size() != face.positions.size()) continue;
            if (Distance(centroids[i], face.centroid) > tolerance) continue;
            if ((options.nodes || options.meshNames) &&
                (want.mesh != face.mesh || want.level != face.level))
                continue;
            for (size_t shift = 0; shift < face.positions.size(); ++shift) {
                if (!positionsMatch(face, want, shift)) continue;
                const std::string d = attributeDifference(face, want, shift);
                if (d.empty()) {
                    match = i;
                    break;
                }
                difference = d;
            }
            if (match != expected.primitives.size()) break;
            if (difference == "no written face there")
                difference = "corners in another order (winding)";
        }
        if (match == expected.primitives.size()) {
            failures.Add("face", "face " + std::to_string(f) + " at " + Text(face.centroid) + ": " +
                                     difference);
            continue;
        }
        used[match] = true;
    }
    return failures.Lines();
}

}  // namespace vexlor::testing
