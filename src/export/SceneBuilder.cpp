// ExportModel -> aiScene.
#include "export/SceneBuilder.h"

#include <assimp/material.h>
#include <assimp/mesh.h>
#include <assimp/metadata.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace vexlor::detail {

namespace {

constexpr int64_t kProgressStride = 4096;  // faces between two progress calls

struct D3 {
    double X = 0, Y = 0, Z = 0;
};

D3 ToD(const Vec3& v) {
    return {v.X, v.Y, v.Z};
}

bool Finite(const Vec3& v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

// The unit vector of v, or nothing when v is not a usable direction.
std::optional<D3> Unit(const D3& v) {
    const double length = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    if (!std::isfinite(length) || length < 1e-30) return std::nullopt;
    return D3{v.X / length, v.Y / length, v.Z / length};
}

// Newell's normal of a polygon: the right-hand normal of its corner order, any corner count.
D3 Newell(const ExportCorners& corners) {
    D3 n;
    const size_t count = corners.size();
    for (size_t i = 0; i < count; ++i) {
        const D3 a = ToD(corners[i].Position);
        const D3 b = ToD(corners[(i + 1) % count].Position);
        n.X += (a.Y - b.Y) * (a.Z + b.Z);
        n.Y += (a.Z - b.Z) * (a.X + b.X);
        n.Z += (a.X - b.X) * (a.Y + b.Y);
    }
    return n;
}

std::string IntText(int64_t n) {
    return std::to_string(n);
}

class Frame {
  public:
    Frame(double scale, bool yUp) : scale_(scale), yUp_(yUp) {}

    aiVector3D Position(const Vec3& p) const {
        return Turn(p.X * scale_, p.Y * scale_, p.Z * scale_);
    }
    aiVector3D Direction(const D3& d) const { return Turn(d.X, d.Y, d.Z); }

  private:
    // The file's frame is left-handed: x mirrored makes it right-handed, (-x, y, z), z up; for
    // y up, then a rotation by -90 degrees about x: (-x, z, -y).
    aiVector3D Turn(double x, double y, double z) const {
        if (yUp_)
            return {static_cast<ai_real>(-x), static_cast<ai_real>(z), static_cast<ai_real>(-y)};
        return {static_cast<ai_real>(-x), static_cast<ai_real>(y), static_cast<ai_real>(z)};
    }

    double scale_;
    bool yUp_;
};

bool FiniteVector(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Materials in order of first use; faces without a texture share "untextured".
class Materials {
  public:
    unsigned int For(const std::optional<std::string>& texture) {
        const auto found = index_.find(texture);
        if (found != index_.end()) return found->second;
        std::string name = texture ? MaterialName(*texture) : std::string("untextured");
        // Different texture names that read the same once cleaned keep apart.
        std::string unique = name;
        for (int n = 2; used_.count(unique) != 0; ++n)
            unique = name + "~" + std::to_string(n);
        used_.emplace(unique, true);
        const auto id = static_cast<unsigned int>(names_.size());
        names_.push_back(unique);
        index_.emplace(texture, id);
        return id;
    }
    const std::vector<std::string>& Names() const { return names_; }

  private:
    std::map<std::optional<std::string>, unsigned int> index_;
    std::map<std::string, bool> used_;
    std::vector<std::string> names_;
};

// sRGB's transfer function undone: the linear value of an sRGB channel.
ai_real LinearFromSrgb(ai_real c) {
    const double v = c;
    return static_cast<ai_real>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
}

aiMaterial* MakeMaterial(const std::string& name, size_t index, const SceneOptions& options) {
    auto* material = new aiMaterial();
    const aiString text(name);
    material->AddProperty(&text, AI_MATKEY_NAME);
    // A distinct light colour per material so that texture regions show apart; grey for none.
    // These are sRGB colours, what MTL, FBX, Collada, 3MF and 3DS hold.
    aiColor4D colour(0.8f, 0.8f, 0.8f, 1.0f);
    if (name != "untextured") {
        const double hue = std::fmod(0.11 + 0.618033988749895 * static_cast<double>(index), 1.0);
        const auto channel = [&](double shift) {
            const double h = std::fmod(hue + shift, 1.0);
            const double t = std::fabs(h * 6.0 - 3.0) - 1.0;  // a hue wheel, 0 ... 1
            return static_cast<ai_real>(0.45 + 0.45 * std::clamp(t, 0.0, 1.0));
        };
        colour = aiColor4D(channel(0.0), channel(2.0 / 3.0), channel(1.0 / 3.0), 1.0f);
    }
    if (options.LinearColours)
        colour = aiColor4D(LinearFromSrgb(colour.r), LinearFromSrgb(colour.g),
                           LinearFromSrgb(colour.b), colour.a);
    material->AddProperty(&colour, 1, AI_MATKEY_COLOR_DIFFUSE);
    if (options.AmbientAndSpecular) {
        // What 3DS readers light a material with besides its diffuse colour: an ambient colour
        // equal to it (3ds Max's locked pair) and a dim grey highlight.
        const aiColor4D specular(0.2f, 0.2f, 0.2f, 1.0f);
        material->AddProperty(&colour, 1, AI_MATKEY_COLOR_AMBIENT);
        material->AddProperty(&specular, 1, AI_MATKEY_COLOR_SPECULAR);
    }
    return material;
}

aiNode* NewNode(const std::string& name) {
    return new aiNode(name);
}

// Gives `parent` its children; ownership passes to it.
void Adopt(aiNode* parent, std::vector<aiNode*>& children) {
    if (children.empty()) return;
    parent->mNumChildren = static_cast<unsigned int>(children.size());
    parent->mChildren = new aiNode*[children.size()];
    for (size_t i = 0; i < children.size(); ++i) {
        children[i]->mParent = parent;
        parent->mChildren[i] = children[i];
    }
    children.clear();
}

void DeleteAll(std::vector<aiNode*>& nodes) {
    for (aiNode* node : nodes)
        delete node;
    nodes.clear();
}

aiVector3D Raw(const Vec3& v) {
    return {v.X, v.Y, v.Z};
}

// The vertices of one mesh, each (position, normal, texture vertex) once: an open-addressing hash
// table of vertex numbers over the mesh's own arrays.
class VertexTable {
  public:
    VertexTable(aiMesh& mesh, size_t capacity) : mesh_(mesh) {
        size_t size = 16;
        while (size < 2 * capacity)
            size *= 2;
        slots_.assign(size, kEmpty);
    }

    unsigned int Add(const aiVector3D& position, const aiVector3D& normal, const aiVector3D& uv) {
        const bool withUv = mesh_.mTextureCoords[0] != nullptr;
        uint64_t hash = 1469598103934665603ull;
        const auto mix = [&](const aiVector3D& v) {
            for (const ai_real c : {v.x, v.y, v.z}) {
                uint32_t bits = 0;
                std::memcpy(&bits, &c, sizeof bits);
                hash = (hash ^ bits) * 1099511628211ull;
            }
        };
        mix(position);
        mix(normal);
        if (withUv) mix(uv);
        hash ^= hash >> 29;
        const size_t mask = slots_.size() - 1;
        for (size_t slot = static_cast<size_t>(hash) & mask;; slot = (slot + 1) & mask) {
            const unsigned int held = slots_[slot];
            if (held == kEmpty) {
                slots_[slot] = count_;
                mesh_.mVertices[count_] = position;
                mesh_.mNormals[count_] = normal;
                if (withUv) mesh_.mTextureCoords[0][count_] = uv;
                return count_++;
            }
            if (Same(mesh_.mVertices[held], position) && Same(mesh_.mNormals[held], normal) &&
                (!withUv || Same(mesh_.mTextureCoords[0][held], uv)))
                return held;
        }
    }

    unsigned int Count() const { return count_; }

  private:
    static constexpr unsigned int kEmpty = 0xffffffffu;
    static bool Same(const aiVector3D& a, const aiVector3D& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }

    aiMesh& mesh_;
    std::vector<unsigned int> slots_;
    unsigned int count_ = 0;
};

// A face that passed the checks, with its face normal already chosen.
struct AcceptedFace {
    const ExportFace* Face;
    D3 Normal;  // unit, OPT frame
};

struct Group {
    unsigned int Material = 0;
    std::vector<AcceptedFace> Faces;
    bool HasUv = false;
    size_t Vertices = 0;
    size_t Primitives = 0;
};

class Builder {
  public:
    Builder(const ExportModel& model, const SceneOptions& options, SceneStats& stats,
            std::vector<std::string>& warnings, const std::function<bool(double)>& progress)
        : model_(model),
          options_(options),
          frame_(options.Scale, options.YUp),
          stats_(stats),
          warnings_(warnings),
          progress_(progress),
          total_(std::max<int64_t>(1, model.FaceCount())) {}

    ~Builder() {
        for (aiMesh* mesh : meshes_)
            delete mesh;
    }

    ScenePtr Build() {
        ScenePtr scene(new aiScene());
        scene->mRootNode = NewNode("OPT model");
        std::vector<aiNode*> top;
        int64_t hardpointNumber = 0;
        int64_t descriptorNumber = 0;
        for (const ExportMesh& mesh : model_.Meshes) {
            std::unique_ptr<aiNode> node(NewNode(MeshNodeName(mesh)));
            aiMetadata* meta = aiMetadata::Alloc(mesh.TypeCode ? 2 : 1);
            meta->Set(0, "meshIndex", mesh.Index);
            if (mesh.TypeCode) meta->Set(1, "meshType", *mesh.TypeCode);
            node->mMetaData = meta;

            std::vector<aiNode*> children;
            for (const ExportLevel& level : mesh.Levels) {
                const bool chosen = options_.Lod == 0 || level.Number == options_.Lod;
                if (!chosen) {
                    Skip(level);
                    continue;
                }
                if (!AddLevel(mesh, level, children)) {
                    DeleteAll(children);
                    DeleteAll(top);
                    return nullptr;
                }
            }
            if (options_.Nodes) {
                for (const ExportHardpoint& hardpoint : mesh.Hardpoints)
                    children.push_back(HardpointNode(hardpoint, hardpointNumber++));
                for (const ExportDescriptor& descriptor : mesh.Descriptors)
                    children.push_back(DescriptorNode(descriptor, descriptorNumber++));
            } else {
                hardpointNumber += static_cast<int64_t>(mesh.Hardpoints.size());
                descriptorNumber += static_cast<int64_t>(mesh.Descriptors.size());
            }
            Adopt(node.get(), children);
            top.push_back(node.release());
        }
        Adopt(scene->mRootNode, top);
        if (options_.Nodes) {
            stats_.Hardpoints = hardpointNumber;
            stats_.Descriptors = descriptorNumber;
        }

        scene->mNumMeshes = static_cast<unsigned int>(meshes_.size());
        if (!meshes_.empty()) {
            scene->mMeshes = new aiMesh*[meshes_.size()];
            for (size_t i = 0; i < meshes_.size(); ++i)
                scene->mMeshes[i] = meshes_[i];
            meshes_.clear();
        }
        const std::vector<std::string>& names = materials_.Names();
        const size_t materialCount = std::max<size_t>(1, names.size());
        scene->mNumMaterials = static_cast<unsigned int>(materialCount);
        scene->mMaterials = new aiMaterial*[materialCount];
        for (size_t i = 0; i < materialCount; ++i)
            scene->mMaterials[i] =
                MakeMaterial(names.empty() ? "untextured" : names[i], i, options_);
        return scene;
    }

  private:
    static std::string MeshNodeName(const ExportMesh& mesh) {
        std::string name = "mesh " + IntText(mesh.Index);
        if (!mesh.TypeName.empty()) name += " " + mesh.TypeName;
        return name;
    }

    static std::string TypeText(int32_t type, const std::string& typeName) {
        std::string text = IntText(type);
        if (!typeName.empty()) text += " " + typeName;
        return text;
    }

    aiNode* HardpointNode(const ExportHardpoint& hardpoint, int64_t number) {
        aiNode* node = NewNode("hardpoint " + IntText(number) + ": " +
                               TypeText(hardpoint.Type, hardpoint.TypeName));
        const aiVector3D at = frame_.Position(hardpoint.Position);
        if (FiniteVector(at)) {
            node->mTransformation = aiMatrix4x4();
            aiMatrix4x4::Translation(at, node->mTransformation);
        } else {
            warnings_.push_back("hardpoint " + IntText(number) +
                                ": its position is not a number; placed at the origin");
        }
        aiMetadata* meta = aiMetadata::Alloc(3);
        meta->Set(0, "type", hardpoint.Type);
        meta->Set(1, "typeName", aiString(hardpoint.TypeName));
        meta->Set(2, "offset", static_cast<uint64_t>(hardpoint.Offset));
        node->mMetaData = meta;
        return node;
    }

    aiNode* DescriptorNode(const ExportDescriptor& d, int64_t number) {
        const std::string name = "descriptor " + IntText(number);
        aiNode* node = NewNode(name + ": " + TypeText(d.Type, d.TypeName));
        aiVector3D at = frame_.Position(d.Centre);
        if (FiniteVector(at)) {
            aiMatrix4x4::Translation(at, node->mTransformation);
        } else {
            at = aiVector3D();
            warnings_.push_back(name + ": its centre is not a number; placed at the origin");
        }
        // The box's corners and the target box centre as empty children, so that formats which
        // drop node metadata still carry them.
        std::vector<aiNode*> points;
        const auto point = [&](const std::string& label, const Vec3& p) {
            const aiVector3D where = frame_.Position(p);
            if (!FiniteVector(where)) {
                warnings_.push_back(name + ": its " + label + " are not numbers; left out");
                return;
            }
            aiNode* child = NewNode(name + " " + label);
            aiMatrix4x4::Translation(where - at, child->mTransformation);
            points.push_back(child);
        };
        point("minima", d.Minima);
        point("maxima", d.Maxima);
        point("target group " + IntText(d.TargetGroup), d.TargetCentre);
        Adopt(node, points);
        aiMetadata* meta = aiMetadata::Alloc(9);
        meta->Set(0, "type", d.Type);
        meta->Set(1, "typeName", aiString(d.TypeName));
        meta->Set(2, "span", Raw(d.Span));
        meta->Set(3, "centre", Raw(d.Centre));
        meta->Set(4, "minima", Raw(d.Minima));
        meta->Set(5, "maxima", Raw(d.Maxima));
        meta->Set(6, "targetGroup", d.TargetGroup);
        meta->Set(7, "targetCentre", Raw(d.TargetCentre));
        meta->Set(8, "offset", static_cast<uint64_t>(d.Offset));
        node->mMetaData = meta;
        return node;
    }

    void Skip(const ExportLevel& level) {
        for (const ExportFaceBlock& block : level.FaceBlocks)
            done_ += static_cast<int64_t>(block.Faces.size());
    }

    bool Report() {
        if (!progress_) return true;
        return progress_(static_cast<double>(done_) / static_cast<double>(total_));
    }

    std::string BlockText(const ExportMesh& mesh, const ExportLevel& level,
                          const ExportFaceBlock& block) const {
        return "mesh " + IntText(mesh.Index) + ", LOD " + IntText(level.Number) +
               ", face block at offset " + IntText(block.Offset);
    }

    // Sorts the level's faces into one group per material; false when cancelled.
    bool AddLevel(const ExportMesh& mesh, const ExportLevel& level,
                  std::vector<aiNode*>& children) {
        std::vector<Group> groups;
        std::map<unsigned int, size_t> groupOf;
        for (const ExportFaceBlock& block : level.FaceBlocks) {
            if (block.Faces.empty()) continue;
            const unsigned int material = materials_.For(block.Texture);
            auto found = groupOf.find(material);
            if (found == groupOf.end()) {
                found = groupOf.emplace(material, groups.size()).first;
                groups.push_back(Group{material, {}, false, 0, 0});
            }
            Group& group = groups[found->second];
            int64_t short_ = 0, notNumbers = 0, badUv = 0, badNormals = 0;
            for (const ExportFace& face : block.Faces) {
                if (++done_ % kProgressStride == 0 && !Report()) return false;
                const size_t n = face.Corners.size();
                if (n < 3) {
                    ++short_;
                    continue;
                }
                bool finite = true;
                for (const ExportCorner& corner : face.Corners)
                    if (!Finite(corner.Position) || !FiniteVector(frame_.Position(corner.Position)))
                        finite = false;
                if (!finite) {
                    ++notNumbers;
                    continue;
                }
                for (const ExportCorner& corner : face.Corners) {
                    if (corner.Uv) {
                        if (std::isfinite(corner.Uv->U) && std::isfinite(corner.Uv->V))
                            group.HasUv = true;
                        else
                            ++badUv;
                    }
                    if (corner.Normal && !Finite(*corner.Normal)) ++badNormals;
                }
                std::optional<D3> normal;
                if (Finite(face.Normal)) normal = Unit(ToD(face.Normal));
                if (!normal) {
                    const D3 n3 = Newell(face.Corners);
                    normal = Unit(D3{-n3.X, -n3.Y, -n3.Z});
                }
                if (!normal) normal = D3{0, 0, 1};
                group.Faces.push_back(AcceptedFace{&face, *normal});
                const size_t triangles = n - 2;
                if (options_.Triangulate) {
                    group.Vertices += 3 * triangles;
                    group.Primitives += triangles;
                    stats_.Triangles += static_cast<int64_t>(triangles);
                } else {
                    group.Vertices += n;
                    group.Primitives += 1;
                    if (n == 3)
                        ++stats_.Triangles;
                    else
                        ++stats_.Quads;
                }
                ++stats_.Faces;
            }
            const std::string where = BlockText(mesh, level, block);
            if (short_ > 0)
                warnings_.push_back(where + ": " + IntText(short_) +
                                    (short_ == 1 ? " face" : " faces") +
                                    " with fewer than 3 corners left out");
            if (notNumbers > 0)
                warnings_.push_back(where + ": " + IntText(notNumbers) +
                                    (notNumbers == 1 ? " face" : " faces") +
                                    " with a position that is not a number left out");
            if (badUv > 0)
                warnings_.push_back(where + ": " + IntText(badUv) +
                                    " texture vertices that are not numbers left out");
            if (badNormals > 0)
                warnings_.push_back(
                    where + ": " + IntText(badNormals) +
                    " vertex normals that are not numbers replaced by the face normal");
        }

        std::vector<unsigned int> meshIds;
        for (Group& group : groups) {
            if (group.Faces.empty()) continue;
            const std::string name = "mesh_" + IntText(mesh.Index) + "_LOD_" +
                                     IntText(level.Number) + "_" +
                                     materials_.Names()[group.Material];
            meshIds.push_back(static_cast<unsigned int>(meshes_.size()));
            meshes_.push_back(MakeMesh(group, name));
        }
        if (meshIds.empty()) return true;

        aiNode* node = NewNode("mesh " + IntText(mesh.Index) + " LOD " + IntText(level.Number));
        node->mNumMeshes = static_cast<unsigned int>(meshIds.size());
        node->mMeshes = new unsigned int[meshIds.size()];
        for (size_t i = 0; i < meshIds.size(); ++i)
            node->mMeshes[i] = meshIds[i];
        aiMetadata* meta = aiMetadata::Alloc(level.Distance ? 2 : 1);
        meta->Set(0, "level", level.Number);
        if (level.Distance) meta->Set(1, "distance", *level.Distance);
        node->mMetaData = meta;
        children.push_back(node);
        return true;
    }

    aiMesh* MakeMesh(const Group& group, const std::string& name) {
        auto* mesh = new aiMesh();
        mesh->mName = aiString(name);
        mesh->mMaterialIndex = group.Material;
        // Room for every corner; corners with equal position, normal and texture vertex share one.
        mesh->mVertices = new aiVector3D[group.Vertices];
        mesh->mNormals = new aiVector3D[group.Vertices];
        if (group.HasUv) {
            mesh->mTextureCoords[0] = new aiVector3D[group.Vertices];
            mesh->mNumUVComponents[0] = 2;
        }
        mesh->mNumFaces = static_cast<unsigned int>(group.Primitives);
        mesh->mFaces = new aiFace[group.Primitives];
        VertexTable table(*mesh, group.Vertices);
        lastFirst_ = 0xffffffffu;

        unsigned int primitiveTypes = 0;
        size_t primitive = 0;
        std::vector<unsigned int> order;
        for (const AcceptedFace& accepted : group.Faces) {
            const ExportCorners& corners = accepted.Face->Corners;
            const size_t n = corners.size();
            const aiVector3D faceNormal = frame_.Direction(accepted.Normal);
            const auto vertexOf = [&](const ExportCorner& corner) {
                const aiVector3D position = frame_.Position(corner.Position);
                std::optional<D3> unit;
                if (corner.Normal && Finite(*corner.Normal) && !options_.FaceNormals)
                    unit = Unit(ToD(*corner.Normal));
                const aiVector3D normal = unit ? frame_.Direction(*unit) : faceNormal;
                aiVector3D uv(0, 1, 0);
                if (corner.Uv && std::isfinite(corner.Uv->U) && std::isfinite(corner.Uv->V))
                    uv = aiVector3D(corner.Uv->U, 1.0f - corner.Uv->V, 0);
                return table.Add(position, normal, uv);
            };
            // Clockwise around the normal in the file's left-handed frame is counter-clockwise in
            // the mirrored, right-handed one: the corners keep the file's order.
            order.clear();
            for (size_t i = 0; i < n; ++i)
                order.push_back(vertexOf(corners[i]));
            if (options_.Triangulate) {
                // A fan from A: for a quad A B C D that is A B C and A C D, split along A-C.
                // glTF's writer declares FB_ngon_encoding, whose readers join consecutive
                // triangles with the same first vertex into one polygon; so a face whose A is
                // the previous face's first vertex starts from C instead (a triangle from its
                // next corner), which keeps the A-C diagonal and every face apart.
                if (order[0] == lastFirst_ && n >= 3) {
                    const size_t shift = n == 4 ? 2 : 1;
                    std::rotate(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(shift),
                                order.end());
                }
                for (size_t t = 1; t + 1 < n; ++t) {
                    aiFace& face = mesh->mFaces[primitive++];
                    face.mNumIndices = 3;
                    face.mIndices = new unsigned int[3]{order[0], order[t], order[t + 1]};
                }
                lastFirst_ = order[0];
                primitiveTypes |= aiPrimitiveType_TRIANGLE;
            } else {
                aiFace& face = mesh->mFaces[primitive++];
                face.mNumIndices = static_cast<unsigned int>(n);
                face.mIndices = new unsigned int[n];
                std::copy(order.begin(), order.end(), face.mIndices);
                primitiveTypes |= n == 3 ? aiPrimitiveType_TRIANGLE : aiPrimitiveType_POLYGON;
            }
        }
        mesh->mNumVertices = table.Count();
        mesh->mPrimitiveTypes = primitiveTypes;
        return mesh;
    }

    const ExportModel& model_;
    const SceneOptions& options_;
    Frame frame_;
    SceneStats& stats_;
    std::vector<std::string>& warnings_;
    const std::function<bool(double)>& progress_;
    int64_t total_;
    int64_t done_ = 0;
    Materials materials_;
    std::vector<aiMesh*> meshes_;
    unsigned int lastFirst_ = 0xffffffffu;  // first vertex of the last face written
};

}  // namespace

void SceneDeleter::operator()(aiScene* scene) const {
    delete scene;
}

std::string MaterialName(const std::string& texture) {
    std::string name;
    for (const char c : texture) {
        if (c == '\0') break;
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '-';
        name.push_back(plain ? c : '_');
    }
    return name.empty() ? std::string("texture") : name;
}

ScenePtr BuildScene(const ExportModel& model, const SceneOptions& options, SceneStats& stats,
                    std::vector<std::string>& warnings,
                    const std::function<bool(double)>& progress) {
    Builder builder(model, options, stats, warnings, progress);
    return builder.Build();
}

}  // namespace vexlor::detail
