// The camera and rotation state of the 3D view: one object, owned by the application, shared by
// the view window, its key handler, the rotation thread and the loaders.
#pragma once

#include <atomic>
#include <cstdint>

namespace vexlor::view {

struct ViewState {
    float AngleX = 0;  // degrees, never wrapped
    float AngleY = 0;
    float AngleZ = 0;  // advanced by the rotation thread's frames
    double Scale = 1.0;
    int32_t PanX = 0;  // model units, along the model's own axes
    int32_t PanY = 0;
    float KeyStep = 0;  // the turning step worked out at the last key press
    int32_t ExtentMax = 0;
    int32_t ExtentMin = 0;
    float SpinStep = 2.0f;  // degrees per rotation frame
    // The rotation thread keeps turning while this is set; the only flag another thread reads.
    std::atomic<bool> RotationOn{false};
    int32_t ViewportWidth = 0;  // panel size at the last scene set-up, in pixels
    int32_t ViewportHeight = 0;
};

}  // namespace vexlor::view
