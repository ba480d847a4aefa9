// 3MF: [Content_Types].xml, _rels/.rels and the model part 3D/3dmodel.model in a zip archive.
#include "export/ThreeMfWriter.h"

#include <assimp/material.h>
#include <assimp/scene.h>
#include <assimp/IOStream.hpp>
#include <assimp/IOSystem.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

#include "export/ZipWriter.h"

namespace vexlor::detail {

namespace {

constexpr const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"model\" "
    "ContentType=\"application/vnd.ms-package.3dmanufacturing-3dmodel+xml\"/></Types>\n";

constexpr const char* kRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Target=\"/3D/3dmodel.model\" Id=\"rel0\" "
    "Type=\"http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel\"/></Relationships>\n";

constexpr size_t kFlushBytes = 1 << 20;  // model text handed to the compressor in pieces

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The shortest text that reads back as the same float.
void AppendFloat(std::string& out, float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendInt(std::string& out, uint64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string DisplayColour(const aiMaterial& material) {
    aiColor4D colour(0.8f, 0.8f, 0.8f, 1.0f);
    material.Get(AI_MATKEY_COLOR_DIFFUSE, colour);
    static const char* kHex = "0123456789ABCDEF";
    std::string text = "#";
    for (const float channel : {colour.r, colour.g, colour.b, colour.a}) {
        const float clamped = std::isfinite(channel) ? std::clamp(channel, 0.0f, 1.0f) : 0.0f;
        const auto byte = static_cast<unsigned>(std::lround(clamped * 255.0f));
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

// The model part, written in pieces through the zip writer.
class ModelPart {
  public:
    ModelPart(const aiScene& scene, ZipWriter& zip) : scene_(scene), zip_(zip) {}
    int64_t Degenerate() const { return degenerate_; }

    bool Write(const std::string& unit) {
        text_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<model unit=\"" + unit +
                 "\" xml:lang=\"en-US\" "
                 "xmlns=\"http://schemas.microsoft.com/3dmanufacturing/core/2015/02\">\n"
                 " <metadata name=\"Application\">OPT Vexlor</metadata>\n <resources>\n"
                 "  <basematerials id=\"1\">\n";
        for (unsigned int i = 0; i < scene_.mNumMaterials; ++i) {
            const aiMaterial& material = *scene_.mMaterials[i];
            aiString name;
            material.Get(AI_MATKEY_NAME, name);
            text_ += "   <base name=\"" + Escaped(name.C_Str()) + "\" displaycolor=\"" +
                     DisplayColour(material) + "\"/>\n";
        }
        text_ += "  </basematerials>\n";
        std::vector<uint64_t> objects;
        if (scene_.mRootNode != nullptr)
            for (unsigned int i = 0; i < scene_.mRootNode->mNumChildren; ++i) {
                const aiNode& mesh = *scene_.mRootNode->mChildren[i];
                for (unsigned int j = 0; j < mesh.mNumChildren; ++j) {
                    const aiNode& level = *mesh.mChildren[j];
                    if (level.mNumMeshes == 0) continue;
                    objects.push_back(objects.size() + 2);
                    if (!Object(level, objects.back())) return false;
                }
            }
        text_ += " </resources>\n <build>\n";
        for (const uint64_t id : objects) {
            text_ += "  <item objectid=\"";
            AppendInt(text_, id);
            text_ += "\"/>\n";
        }
        text_ += " </build>\n</model>\n";
        return Flush(true);
    }

  private:
    // One object: the vertices of the level's meshes one after the other, then their triangles.
    bool Object(const aiNode& level, uint64_t id) {
        const aiMesh& first = *scene_.mMeshes[level.mMeshes[0]];
        text_ += "  <object id=\"";
        AppendInt(text_, id);
        text_ +=
            "\" type=\"model\" name=\"" + Escaped(level.mName.C_Str()) + "\" pid=\"1\" pindex=\"";
        AppendInt(text_, first.mMaterialIndex);
        text_ += "\">\n   <mesh>\n    <vertices>\n";
        for (unsigned int m = 0; m < level.mNumMeshes; ++m) {
            const aiMesh& mesh = *scene_.mMeshes[level.mMeshes[m]];
            for (unsigned int v = 0; v < mesh.mNumVertices; ++v) {
                const aiVector3D& p = mesh.mVertices[v];
                text_ += "     <vertex x=\"";
                AppendFloat(text_, p.x);
                text_ += "\" y=\"";
                AppendFloat(text_, p.y);
                text_ += "\" z=\"";
                AppendFloat(text_, p.z);
                text_ += "\"/>\n";
                if (!Flush(false)) return false;
            }
        }
        text_ += "    </vertices>\n    <triangles>\n";
        uint64_t base = 0;
        for (unsigned int m = 0; m < level.mNumMeshes; ++m) {
            const aiMesh& mesh = *scene_.mMeshes[level.mMeshes[m]];
            for (unsigned int f = 0; f < mesh.mNumFaces; ++f) {
                const aiFace& face = mesh.mFaces[f];
                if (face.mNumIndices != 3) continue;  // the scene is triangulated for 3MF
                const unsigned int* v = face.mIndices;
                if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2]) {
                    ++degenerate_;  // 3MF wants three different vertices
                    continue;
                }
                text_ += "     <triangle";
                for (unsigned int c = 0; c < 3; ++c) {
                    text_ += c == 0 ? " v1=\"" : c == 1 ? "\" v2=\"" : "\" v3=\"";
                    AppendInt(text_, base + face.mIndices[c]);
                }
                text_ += "\" pid=\"1\" p1=\"";
                AppendInt(text_, mesh.mMaterialIndex);
                text_ += "\"/>\n";
                if (!Flush(false)) return false;
            }
            base += mesh.mNumVertices;
        }
        text_ += "    </triangles>\n   </mesh>\n  </object>\n";
        return true;
    }

    bool Flush(bool all) {
        if (!all && text_.size() < kFlushBytes) return true;
        const bool added = zip_.Add(text_);
        text_.clear();
        return added;
    }

    const aiScene& scene_;
    ZipWriter& zip_;
    std::string text_;
    int64_t degenerate_ = 0;
};

}  // namespace

Expected<int64_t> WriteThreeMf(const aiScene& scene, Assimp::IOSystem& files,
                               const std::string& path, const std::string& unit) {
    Assimp::IOStream* stream = files.Open(path.c_str(), "wb");
    if (stream == nullptr)
        return Result::Failure("Cannot write file " + path, "the file could not be opened");
    const auto close = [&](Assimp::IOStream* s) { files.Close(s); };
    std::unique_ptr<Assimp::IOStream, decltype(close)> guard(stream, close);
    ZipWriter zip(*stream);
    ModelPart model(scene, zip);
    const bool written = zip.Begin("[Content_Types].xml") && zip.Add(kContentTypes) && zip.End() &&
                         zip.Begin("_rels/.rels") && zip.Add(kRelationships) && zip.End() &&
                         zip.Begin("3D/3dmodel.model") && model.Write(unit) && zip.End() &&
                         zip.Finish();
    if (!written) return Result::Failure("Cannot write file " + path, zip.Error());
    return model.Degenerate();
}

}  // namespace vexlor::detail
