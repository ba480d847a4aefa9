// Linking the main window to the 3D view.
#include "GlViewLink.h"

namespace vexlor::app {

GlViewLink::~GlViewLink() {
    if (spinner_) spinner_->Stop();
}

void GlViewLink::Attach(view::ViewWindow* form) {
    form_ = form;
    spinner_ = std::make_unique<view::RotationThread>(state_, *form);
}

void GlViewLink::SetModel(const OptModel* model) {
    if (form_ != nullptr) form_->SetModel(model);
}

void GlViewLink::ShowMesh(int32_t mesh) {
    if (form_ != nullptr) form_->Selection().CurrentMesh = mesh;
}

void GlViewLink::ShowLevelOfDetail(int32_t lod) {
    if (form_ != nullptr) form_->Selection().ShowLod = lod;
}

void GlViewLink::ShowBlock(const ShownBlock& block) {
    if (form_ != nullptr)
        view::SelectBlock(form_->Selection(), block, state_.ExtentMax, state_.ExtentMin);
}

void GlViewLink::HighlightFace(int64_t blockOffset, int32_t faceInBlock) {
    if (form_ == nullptr) return;
    if (blockOffset < 0)
        form_->Selection().Highlight.reset();
    else
        form_->Selection().Highlight = view::FaceHighlight{blockOffset, faceInBlock};
}

void GlViewLink::SetupScene() {
    if (form_ != nullptr) form_->SetupScene();
}

void GlViewLink::Redraw() {
    if (form_ != nullptr) form_->Redraw();
}

void GlViewLink::StopRotation() {
    state_.RotationOn = false;
    if (spinner_) spinner_->Stop();
}

void GlViewLink::RestartRotation(bool ticked) {
    state_.RotationOn = ticked;
    if (ticked && spinner_) spinner_->Start();
}

void GlViewLink::RotationClicked(bool ticked) {
    const bool wasClear = !state_.RotationOn;
    state_.RotationOn = ticked;
    if (wasClear && ticked && spinner_) spinner_->Start();
}

void GlViewLink::SpinSliderChanged(int position) {
    view::SetSpinStepFromSlider(state_, position);
}

void GlViewLink::ResetToPreviewView() {
    state_.AngleX = -130.0f;
    state_.AngleY = 0.0f;
    state_.AngleZ = 210.0f;
    state_.Scale = 1.0;
    state_.PanX = 0;
    state_.PanY = 0;
}

void GlViewLink::ShowViewWindow() {
    if (form_ == nullptr) return;
    form_->show();
    form_->raise();
    form_->activateWindow();
}

}  // namespace vexlor::app
