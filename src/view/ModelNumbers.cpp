// Counting a model's numbers for the status bar.
#include "view/ModelNumbers.h"

#include "view/Projection.h"
#include "view/Wireframe.h"

namespace vexlor::view {

ModelNumbers CountModelNumbers(std::span<const DrawFace> faces, int32_t meshes, int32_t showLod,
                               int32_t extentMax, int32_t extentMin,
                               std::optional<int64_t> vertices) {
    ModelNumbers numbers;
    numbers.Meshes = meshes;
    numbers.FacesTotal = static_cast<int64_t>(faces.size());
    for (const DrawFace& face : faces) {
        if (IsDrawnAtLod(face, showLod)) ++numbers.FacesShown;
    }
    numbers.Vertices = vertices;
    numbers.ShowLod = showLod;
    numbers.SizeMetres = faces.empty() ? 0.0f : ModelSizeMetres(extentMax, extentMin);
    return numbers;
}

}  // namespace vexlor::view
