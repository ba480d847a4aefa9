// Linking the main window to the 3D view.
#include "desktop/GlViewLink.h"

#include <QFile>

#include "view/OffscreenPicture.h"
#include "view/PictureFile.h"

namespace vexlor::app {

GlViewLink::~GlViewLink() {
    if (spinner_) spinner_->Stop();
}

void GlViewLink::Attach(view::ViewWindow* form) {
    form_ = form;
    spinner_ = std::make_unique<view::RotationThread>(state_, *form);
    QObject::connect(form, &view::ViewWindow::FacePicked, form,
                     [this](qint64 face) { Picked(face); });
    QObject::connect(form, &view::ViewWindow::FaceUnderCursor, form, [this](qint64 face) {
        if (events_ != nullptr) events_->UnderCursorChanged(form_->UnderCursorStatus(face));
    });
    QObject::connect(form, &view::ViewWindow::ShadedChanged, form, [this](bool on) {
        if (events_ != nullptr) events_->ShadedChanged(on);
    });
}

void GlViewLink::Picked(int64_t face) {
    if (events_ == nullptr) return;
    PickedFace picked;
    picked.Model = form_->Model();
    if (picked.Model != nullptr && face >= 0 &&
        static_cast<uint64_t>(face) < picked.Model->DrawFaces.size()) {
        const DrawFace& drawn = picked.Model->DrawFaces[static_cast<size_t>(face)];
        picked.DrawIndex = face;
        picked.Mesh = drawn.Mesh;
        picked.BlockOffset = drawn.BlockOffset;
        picked.FaceInBlock = drawn.FaceInBlock;
    }
    events_->FacePicked(picked);
}

void GlViewLink::TellModelNumbers() {
    if (events_ != nullptr && form_ != nullptr) events_->ModelNumbersChanged(form_->ModelStatus());
}

void GlViewLink::SetModel(const OptModel* model) {
    if (form_ != nullptr) form_->SetModel(model);
}

void GlViewLink::ShowMesh(int32_t mesh) {
    if (form_ != nullptr) form_->Selection().CurrentMesh = mesh;
}

void GlViewLink::ShowLevelOfDetail(int32_t lod) {
    if (form_ == nullptr) return;
    form_->Selection().ShowLod = lod;
    TellModelNumbers();
}

void GlViewLink::ShowBlock(const ShownBlock& block) {
    if (form_ != nullptr)
        view::SelectBlock(form_->Selection(), block, state_.ExtentMax, state_.ExtentMin);
}

void GlViewLink::SetShaded(bool on) {
    if (form_ != nullptr) form_->SetShaded(on);
}

void GlViewLink::HighlightFace(int64_t blockOffset, int32_t faceInBlock) {
    if (form_ == nullptr) return;
    const OptModel* model = form_->Model();
    form_->HighlightFace(
        model == nullptr ? -1 : view::DrawIndexOfFace(model->DrawFaces, blockOffset, faceInBlock));
}

void GlViewLink::SetupScene() {
    if (form_ == nullptr) return;
    form_->SetupScene();
    TellModelNumbers();
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

PixelSize GlViewLink::FrameSize() const {
    if (form_ == nullptr) return {};
    const QSize size = form_->FrameSize();
    return {size.width(), size.height()};
}

int32_t GlViewLink::LargestPictureSide() {
    return view::LargestPictureSide();
}

OperationResult GlViewLink::SavePicture(const std::string& path, PixelSize size) {
    const std::string failed = "Cannot save the picture " + path;
    if (form_ == nullptr) return {false, failed, "there is no view"};
    const view::Picture picture = form_->TakePicture(QSize(size.Width, size.Height));
    if (!picture.Ok()) return {false, failed, picture.Error};
    const std::string error = view::WritePng(picture.Image, QFile::decodeName(path.c_str()));
    if (!error.empty()) return {false, failed, error};
    return {};
}

}  // namespace vexlor::app
