// The coarser frame drawn while the mouse drags a model whose full frames are slow: each mesh at
// a level of detail of its own, up to a common bound, chosen by the faces each mesh has at each
// level. The file's levels say which faces stand for the same part at less detail (level 1 the
// finest in the usual model, each later level coarser), so the coarse frame keeps the model's
// shape while it draws fewer faces.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "reader/OptModel.h"

namespace vexlor::view {

class CoarseLevels {
  public:
    struct Choice {
        int32_t Key = 0;                       // tells one choice from another for one model
        std::span<const uint8_t> LevelOfMesh;  // by the mesh's 16 bits; 0: the mesh is not drawn
        int64_t Faces = 0;
    };

    // Counts the faces of each mesh and level (faces with corners that are not finite numbers
    // are never drawn and do not count).
    void Count(std::span<const DrawFace> faces);

    // For frames of the faces at `showLod` (0: every level) whose full frame took `fullMs`: the
    // finest choice expected to take at most `budgetMs` (at the full frame's time per face),
    // else the one with the fewest faces. None when no choice draws fewer faces than the full
    // frame. Bound k draws each mesh (that the full frame draws) at its coarsest level up to k
    // that has faces; with every level shown, a mesh with no faces up to k at its finest.
    std::optional<Choice> Choose(int32_t showLod, double fullMs, double budgetMs);

  private:
    struct MeshLevel {
        uint16_t Mesh;
        uint8_t Lod;
        int64_t Faces;
    };
    // The level bound k draws of `mesh` (its entries in counts_ from `first` to `last`); 0 none.
    uint8_t LevelFor(size_t first, size_t last, int32_t showLod, int32_t bound) const;
    int64_t FacesAt(int32_t showLod, int32_t bound, std::vector<uint8_t>* table) const;

    std::vector<MeshLevel> counts_;  // by mesh, then level
    std::vector<uint8_t> table_;     // the last choice's levels, 65,536 entries
};

}  // namespace vexlor::view
