// What the main window and the browser ask of the 3D view: scene set-up after a load, frames,
// and the rotation thread. The desktop program links it to the real view; tests use a recorder.
#pragma once

#include "ModelStore.h"

namespace vexlor::app {

class ViewLink {
  public:
    virtual ~ViewLink() = default;
    // The model whose draw tables the view draws.
    virtual void SetModel(ModelStore* store) = 0;
    virtual void SetupScene() = 0;
    // One frame.
    virtual void Redraw() = 0;
    // Clears RotationOn and waits until no rotation thread is in its loop.
    virtual void StopRotation() = 0;
    // RotationOn := ticked; starts a rotation thread when it is set (the end of a load).
    virtual void RestartRotation(bool ticked) = 0;
    // The "model rotation" check box was clicked.
    virtual void RotationClicked(bool ticked) = 0;
    // The speed track bar moved.
    virtual void SpinSliderChanged(int position) = 0;
    // The preview's start view: angles -130, 0, 210, scale 1, no pan.
    virtual void ResetToPreviewView() = 0;
    // Shows the view window again, as it was when it was closed, in front of the others.
    virtual void ShowViewWindow() = 0;
};

}  // namespace vexlor::app
