// What the main window and the browser ask of the 3D view: the model to draw and what to show
// of it, scene set-up after a load, frames, and the rotation thread. The desktop program links
// it to the real view; tests use a recorder.
#pragma once

#include <cstdint>

#include "BlockRecords.h"
#include "OptModel.h"

namespace vexlor::app {

class ViewLink {
  public:
    virtual ~ViewLink() = default;
    // The model whose draw tables the view draws.
    virtual void SetModel(const OptModel* model) = 0;
    // Extent, projection and size caption of the model; markers cleared.
    virtual void SetupScene() = 0;
    // The mesh drawn red.
    virtual void ShowMesh(int32_t mesh) = 0;
    // The level of detail drawn: 0 for all, else the level.
    virtual void ShowLevelOfDetail(int32_t lod) = 0;
    // A chosen block: its mesh red, and its marker if it is a hardpoint or mesh descriptor.
    virtual void ShowBlock(const ShownBlock& block) = 0;
    // The face of a face block (by the block's file position and the face's place in it) drawn
    // highlighted until the next block is shown; a negative block offset clears it.
    virtual void HighlightFace(int64_t blockOffset, int32_t faceInBlock) = 0;
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
