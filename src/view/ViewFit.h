// Fitting the model into the frame, the start view and the preset views.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "reader/OptModel.h"
#include "view/FrameTransform.h"
#include "view/ViewState.h"

namespace vexlor::view {

// Which faces a fit takes: those drawn at `ShowLod` (0 = every level), of `Mesh` alone or of
// every mesh (-1).
struct FitFaces {
    int32_t ShowLod = 0;
    int32_t Mesh = -1;
};

// The part of the frame left free on each side of a fitted model.
inline constexpr double kFitMargin = 0.05;

// Scale and pan chosen at the current angles so that the faces, projected, fill the view box
// less `margin` of it on each side; centred as far as the pan can reach (a model seen edge on
// to its xy plane can only be moved along one screen direction, and is then made small enough
// to fit where it is). False, and the view unchanged, when no face qualifies or the pan cannot
// bring the faces into the box at all.
bool FitView(ViewState& view, const ViewBox& box, std::span<const DrawFace> faces,
             const FitFaces& which, double margin = kFitMargin);

// A fit for a turning model: the middle of the faces on the axis the rotation turns the model
// about (which every frame shows at the eye's origin), and the scale that keeps them inside the
// box less `margin` at every turn. Where that axis lies outside the box, FitView at the view's
// angles. False, and the view unchanged, when no face qualifies.
bool FitTurning(ViewState& view, const ViewBox& box, std::span<const DrawFace> faces,
                const FitFaces& which, double margin = kFitMargin);

// The start view: no turn, scale 1, no pan.
void ResetView(ViewState& view);
// The browser preview's start view: turned -130 degrees about x and 210 about z, scale 1, no pan.
void ResetToPreviewView(ViewState& view);

enum class PresetView { Front, Back, Right, Left, Top, Bottom, Iso };

struct ViewAngles {
    float AngleX = 0, AngleY = 0, AngleZ = 0;
};

// The model's z axis up for front, back, right, left and iso (front from -y, right from +x, top
// from +z, as the numeric keypad of modelling programs has them), and iso from the front, right
// and top at once.
ViewAngles PresetAngles(PresetView preset);
void ApplyPresetView(ViewState& view, PresetView preset);
// "front", "back", "right", "left", "top", "bottom", "iso".
std::optional<PresetView> PresetViewNamed(std::string_view name);

}  // namespace vexlor::view
