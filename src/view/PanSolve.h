// Pan steps for a wanted move on the screen. The pan moves the model along its own x and y
// axes, so a move across the screen is reached through the top left 2 x 2 block of the view's
// rotation. When the model's xy plane is seen nearly edge on that block is close to singular:
// the pan can then only move the model along one screen direction, and the move is taken as
// far as that direction allows instead of by a huge pan in depth.
#pragma once

#include "view/FrameTransform.h"

namespace vexlor::view {

// The pan (in model units, not rounded) that moves the picture by (dx, dy) eye units at the
// rotation and scale of `frame`.
void PanForEyeMove(const FrameTransform& frame, double dx, double dy, double& panX, double& panY);
// The eye move a pan change gives.
void EyeMoveForPan(const FrameTransform& frame, double panX, double panY, double& dx, double& dy);

}  // namespace vexlor::view
