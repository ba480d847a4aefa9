// The fixed orthographic box that a scene set-up derives from the model extent, and the caption
// that gives the model's size.
#pragma once

#include <cstdint>
#include <string>

#include "reader/NumberText.h"

namespace vexlor::view {

// Arguments of glOrtho.
struct ViewBox {
    double Left = -1, Right = 1, Bottom = -1, Top = 1, Near = 1, Far = -1;
};

// (ExtentMin, ExtentMax) in x and y, depth from 100 x ExtentMax to 100 x ExtentMin, worked in
// doubles so that no extent overflows. Where that box would be refused or would cut the model
// away, a usable one stands in:
// - equal bounds (all coordinates alike) widen by one unit on each side;
// - bounds on one side of 0 (a model off the origin) get the depth range -100 x M to 100 x M,
//   M the larger magnitude, since depth from 100 x ExtentMax to 100 x ExtentMin would lie
//   wholly in front of or behind the model.
ViewBox ProjectionBox(int32_t extentMax, int32_t extentMin);

// (ExtentMax - ExtentMin) / 41 as a float: the view takes 41 model units as one metre. Inverted
// bounds (a model without faces) give 0.
float ModelSizeMetres(int32_t extentMax, int32_t extentMin);
// "Model size = approx. " + the size + " metres (BoP/XWA)".
std::string ModelSizeCaption(int32_t extentMax, int32_t extentMin, const NumberText& numbers);

}  // namespace vexlor::view
