// The observer that turns one walk's events into an ExportModel.
#include "export/ExportModelBuilder.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "reader/WalkObserver.h"

namespace vexlor {

namespace {

// A type table's name for `code`; empty for a code it has no entry for.
std::string NameOf(const std::vector<std::string>& names, int32_t code) {
    if (code < 0 || static_cast<size_t>(code) >= names.size()) return {};
    return names[static_cast<size_t>(code)];
}

template <typename T>
bool Names(const std::vector<T>& table, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < table.size();
}

class Builder : public WalkObserver {
  public:
    Builder(const TypeNameTables& names, ExportModel& model) : names_(names), model_(model) {}

    void MeshStarted(int32_t mesh, int64_t) override {
        FinishMesh();
        ExportMesh& started = model_.Meshes.emplace_back();
        started.Index = mesh;
        texture_.reset();
    }

    void LodBlockEntered(const WalkPlace& place, int64_t,
                         const std::vector<float>& distances) override {
        // Slot i of the block is level place.lod + i. A number that an earlier type-21 block of
        // the mesh covered keeps that block's distance.
        for (size_t i = 0; i < distances.size(); ++i) {
            int64_t level = 0;
            if (__builtin_add_overflow(place.Lod, static_cast<int64_t>(i), &level)) break;
            distances_.emplace(level, distances[i]);
        }
    }

    void TextureNamed(const WalkPlace& place, int64_t, const std::string& name) override {
        texture_ = Texture{place.Lod, name.substr(0, name.find('\0'))};
    }

    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override {
        ExportMesh& mesh = Mesh(place);
        ExportLevel& level = Level(mesh, place.Lod);
        ExportFaceBlock& block = level.FaceBlocks.emplace_back();
        block.Offset = position;
        if (texture_ && texture_->Lod == place.Lod) block.Texture = texture_->Name;

        // The walk's own tables hold these faces; stay within them whatever the event says.
        const auto held = static_cast<int64_t>(tables.FaceTable.size());
        const int64_t begin = std::clamp<int64_t>(first, 0, held);
        const int64_t end = begin + std::clamp<int64_t>(count, 0, held - begin);
        block.Faces.reserve(static_cast<size_t>(end - begin));
        int64_t corners = 0;
        for (int64_t k = begin; k < end; ++k)
            corners += AddFace(tables, tables.FaceTable[static_cast<size_t>(k)], block);
        if (corners > 0)
            model_.Warnings.push_back("mesh " + std::to_string(mesh.Index) + ", LOD " +
                                      std::to_string(level.Number) + ", face block at offset " +
                                      std::to_string(position) + ": " + std::to_string(corners) +
                                      (corners == 1 ? " corner" : " corners") +
                                      " with a vertex index outside the vertex table left out");
    }

    void HardpointRead(const WalkPlace& place, int64_t position,
                       const HardpointRecord& hardpoint) override {
        ExportHardpoint& h = Mesh(place).Hardpoints.emplace_back();
        h.Offset = position;
        h.Type = hardpoint.Type;
        h.TypeName = NameOf(names_.HardpointTypeNames, hardpoint.Type);
        h.Position = hardpoint.Position;
    }

    void DescriptorRead(const WalkPlace& place, int64_t position,
                        const MeshDescriptorRecord& descriptor) override {
        ExportMesh& mesh = Mesh(place);
        ExportDescriptor& d = mesh.Descriptors.emplace_back();
        d.Offset = position;
        d.Type = descriptor.MeshType;
        d.TypeName = NameOf(names_.MeshTypeNames, descriptor.MeshType);
        d.Span = descriptor.Span;
        d.Centre = descriptor.Centre;
        d.Minima = descriptor.Minima;
        d.Maxima = descriptor.Maxima;
        d.TargetGroup = descriptor.TargetGroup;
        d.TargetCentre = descriptor.TargetCentre;
        if (!mesh.TypeCode) {
            mesh.TypeCode = d.Type;
            mesh.TypeName = d.TypeName;
        }
    }

    // Gives the last mesh the distances of its levels.
    void FinishMesh() {
        if (!model_.Meshes.empty())
            for (ExportLevel& level : model_.Meshes.back().Levels) {
                const auto found = distances_.find(level.Number);
                if (found != distances_.end()) level.Distance = found->second;
            }
        distances_.clear();
    }

  private:
    struct Texture {
        int64_t Lod;
        std::string Name;
    };

    // The walk names a mesh before its blocks; should it ever not, the block starts one.
    ExportMesh& Mesh(const WalkPlace& place) {
        if (model_.Meshes.empty()) {
            model_.Meshes.emplace_back().Index = place.Mesh;
            texture_.reset();
        }
        return model_.Meshes.back();
    }

    // The walk's level numbers only grow within a mesh, so a level is the last one or new.
    static ExportLevel& Level(ExportMesh& mesh, int64_t lod) {
        const auto number =
            static_cast<int32_t>(std::min<int64_t>(lod, std::numeric_limits<int32_t>::max()));
        if (mesh.Levels.empty() || mesh.Levels.back().Number != number)
            mesh.Levels.emplace_back().Number = number;
        return mesh.Levels.back();
    }

    // Appends the face; returns the number of corners left out for their vertex index.
    static int64_t AddFace(const MeshTables& tables, const FaceRecord& record,
                           ExportFaceBlock& block) {
        // Made here and copied once: the block's memory is written a single time.
        ExportFace face;
        face.Normal = record.FaceNormal;
        int64_t bad = 0;
        for (size_t c = 0; c < 4; ++c) {
            const int32_t v = record.VertexIndex[c];
            if (c == 3 && v == -1) break;  // a triangle
            if (v < 0 || static_cast<size_t>(v) >= tables.VertexTableSize()) {
                ++bad;
                continue;
            }
            ExportCorner& corner = face.Corners.emplace_back();
            corner.Position = tables.VertexAt(v);
            const int32_t n = record.VertexNormalIndex[c];
            if (n >= 0 && static_cast<size_t>(n) < tables.VertexNormalTableSize())
                corner.Normal = tables.VertexNormalAt(n);
            const int32_t t = record.TextureVertexIndex[c];
            if (Names(tables.TextureVertexTable, t)) {
                const TextureVertex& uv = tables.TextureVertexTable[static_cast<size_t>(t)];
                corner.Uv = TexCoord{uv.U, uv.V};
            }
        }
        block.Faces.push_back(face);
        return bad;
    }

    const TypeNameTables& names_;
    ExportModel& model_;
    std::optional<Texture> texture_;
    std::map<int64_t, float> distances_;  // level number -> lo-res distance, this mesh
};

}  // namespace

ExportModel BuildExportModel(const OptDocument& document) {
    ExportModel model;
    if (!document.OptLoaded()) return model;
    Builder builder(document.Names(), model);
    const WalkEnd end = document.Observe(builder);
    builder.FinishMesh();
    if (!end.Whole)
        model.Warnings.push_back("the walk stopped early (" + end.StopReason +
                                 "): the export holds what was read before");
    return model;
}

}  // namespace vexlor
