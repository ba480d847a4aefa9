// The numbers of a model that the view's status bar and caption tell: meshes, faces drawn at the
// level of detail and in all, vertices, the level shown and the size in metres.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "reader/OptModel.h"

namespace vexlor::view {

struct ModelNumbers {
    int32_t Meshes = 0;
    int64_t FacesShown = 0;  // drawn at the level of detail (finite corners)
    int64_t FacesTotal = 0;
    std::optional<int64_t> Vertices;  // when the caller knows them
    int32_t ShowLod = 0;              // 0: every level
    float SizeMetres = 0;             // as the view's caption has it
};

// The numbers of a model: the faces counted at `showLod`, the size from the view's extent
// ((ExtentMax - ExtentMin) / 41 metres; 0 for a model without faces).
ModelNumbers CountModelNumbers(std::span<const DrawFace> faces, int32_t meshes, int32_t showLod,
                               int32_t extentMax, int32_t extentMin,
                               std::optional<int64_t> vertices = std::nullopt);

}  // namespace vexlor::view
