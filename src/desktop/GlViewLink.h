// The main window's link to the real 3D view: the ViewWindow window, its ViewState and the
// rotation thread; the view window's picks, cursor and shaded mode passed on as ViewEvents.
#pragma once

#include <memory>
#include <optional>

#include "desktop/ViewLink.h"
#include "view/RotationThread.h"
#include "view/ViewState.h"
#include "view/ViewWindow.h"

namespace vexlor::desktop {

class GlViewLink : public ViewLink {
  public:
    explicit GlViewLink(view::ViewState& state) : state_(state) {}
    ~GlViewLink() override;

    // The window exists only after the main window (start-up order); frames wait for it.
    void Attach(view::ViewWindow* form);

    void SetEvents(ViewEvents* events) override { events_ = events; }
    void SetModel(const OptModel* model) override;
    void SetupScene() override;
    void ShowMesh(int32_t mesh) override;
    void ShowLevelOfDetail(int32_t lod) override;
    void ShowBlock(const ShownBlock& block) override;
    void SetShaded(bool on) override;
    void HighlightFace(int64_t blockOffset, int32_t faceInBlock) override;
    void MarkFaces(std::span<const std::pair<int64_t, int32_t>> faces) override;
    void Redraw() override;
    void StopRotation() override;
    void RestartRotation(bool ticked) override;
    void RotationClicked(bool ticked) override;
    void SpinSliderChanged(int position) override;
    void ResetToPreviewView() override;
    void ResetToStartView() override;
    void FrameModel() override;
    void KeepCamera() override;
    void RestoreCamera() override;
    void PressViewKey(int key, Qt::KeyboardModifiers modifiers) override;
    void ShowViewWindow() override;
    PixelSize FrameSize() const override;
    int32_t LargestPictureSide() override;
    Result SavePicture(const std::string& path, PixelSize size) override;

    view::RotationThread* RotationThread() const { return rotation_.get(); }

  private:
    void Picked(int64_t face);
    void TellModelNumbers();

    view::ViewState& state_;
    view::ViewWindow* viewWindow_ = nullptr;
    ViewEvents* events_ = nullptr;
    std::unique_ptr<view::RotationThread> rotation_;
    struct Camera {
        float AngleX, AngleY, AngleZ;
        double Scale;
        int32_t PanX, PanY;
    };
    std::optional<Camera> keptCamera_;
};

}  // namespace vexlor::desktop
