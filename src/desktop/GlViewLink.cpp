// Linking the main window to the 3D view.
#include "desktop/GlViewLink.h"

#include <QFile>

#include "view/OffscreenPicture.h"
#include "view/PictureFile.h"
#include "view/ViewFit.h"

namespace vexlor::desktop {

GlViewLink::~GlViewLink() {
    if (rotation_) rotation_->Stop();
}

void GlViewLink::Attach(view::ViewWindow* form) {
    viewWindow_ = form;
    rotation_ = std::make_unique<view::RotationThread>(state_, *form);
    QObject::connect(form, &view::ViewWindow::FacePicked, form,
                     [this](qint64 face) { Picked(face); });
    QObject::connect(form, &view::ViewWindow::FaceUnderCursor, form, [this](qint64 face) {
        if (events_ != nullptr) events_->UnderCursorChanged(viewWindow_->UnderCursorStatus(face));
    });
    QObject::connect(form, &view::ViewWindow::ShadedChanged, form, [this](bool on) {
        if (events_ != nullptr) events_->ShadedChanged(on);
    });
    QObject::connect(form, &view::ViewWindow::RotationToggled, form, [this] {
        if (events_ != nullptr) events_->RotationKeyPressed();
    });
}

void GlViewLink::Picked(int64_t face) {
    if (events_ == nullptr) return;
    PickedFace picked;
    picked.Model = viewWindow_->Model();
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
    if (events_ != nullptr && viewWindow_ != nullptr)
        events_->ModelNumbersChanged(viewWindow_->ModelStatus());
}

void GlViewLink::SetModel(const OptModel* model) {
    if (viewWindow_ != nullptr) viewWindow_->SetModel(model);
}

void GlViewLink::ShowMesh(int32_t mesh) {
    if (viewWindow_ != nullptr) viewWindow_->Selection().CurrentMesh = mesh;
}

void GlViewLink::ShowLevelOfDetail(int32_t lod) {
    if (viewWindow_ == nullptr) return;
    viewWindow_->Selection().ShowLod = lod;
    TellModelNumbers();
}

void GlViewLink::ShowBlock(const ShownBlock& block) {
    if (viewWindow_ != nullptr)
        view::SelectBlock(viewWindow_->Selection(), block, state_.ExtentMax, state_.ExtentMin);
}

void GlViewLink::SetShaded(bool on) {
    if (viewWindow_ != nullptr) viewWindow_->SetShaded(on);
}

void GlViewLink::HighlightFace(int64_t blockOffset, int32_t faceInBlock) {
    if (viewWindow_ == nullptr) return;
    const OptModel* model = viewWindow_->Model();
    viewWindow_->ShowFace(
        model == nullptr ? -1 : view::DrawIndexOfFace(model->DrawFaces, blockOffset, faceInBlock));
}

void GlViewLink::MarkFaces(std::span<const std::pair<int64_t, int32_t>> faces) {
    if (viewWindow_ == nullptr) return;
    const OptModel* model = viewWindow_->Model();
    viewWindow_->MarkFaces(model == nullptr ? std::vector<int64_t>()
                                            : view::DrawIndicesOfFaces(model->DrawFaces, faces));
}

void GlViewLink::SetupScene() {
    if (viewWindow_ == nullptr) return;
    viewWindow_->SetupScene();
    TellModelNumbers();
}

void GlViewLink::Redraw() {
    if (viewWindow_ != nullptr) viewWindow_->Redraw();
}

void GlViewLink::StopRotation() {
    state_.RotationOn = false;
    if (rotation_) rotation_->Stop();
}

void GlViewLink::RestartRotation(bool ticked) {
    state_.RotationOn = ticked;
    if (ticked && rotation_) rotation_->Start();
}

void GlViewLink::RotationClicked(bool ticked) {
    const bool wasClear = !state_.RotationOn;
    state_.RotationOn = ticked;
    if (wasClear && ticked && rotation_) rotation_->Start();
}

void GlViewLink::SpinSliderChanged(int position) {
    view::SetSpinStepFromSlider(state_, position);
}

void GlViewLink::ResetToPreviewView() {
    view::ResetToPreviewView(state_);
}

void GlViewLink::ResetToStartView() {
    view::ResetView(state_);
}

void GlViewLink::FrameModel() {
    if (viewWindow_ != nullptr) viewWindow_->FrameModel();
}

void GlViewLink::KeepCamera() {
    keptCamera_ = {state_.AngleX, state_.AngleY, state_.AngleZ,
                   state_.Scale,  state_.PanX,   state_.PanY};
}

void GlViewLink::RestoreCamera() {
    if (!keptCamera_) return;
    state_.AngleX = keptCamera_->AngleX;
    state_.AngleY = keptCamera_->AngleY;
    state_.AngleZ = keptCamera_->AngleZ;
    state_.Scale = keptCamera_->Scale;
    state_.PanX = keptCamera_->PanX;
    state_.PanY = keptCamera_->PanY;
}

void GlViewLink::PressViewKey(int key, Qt::KeyboardModifiers modifiers) {
    if (viewWindow_ != nullptr) viewWindow_->PressKey(key, modifiers);
}

void GlViewLink::ShowViewWindow() {
    if (viewWindow_ == nullptr) return;
    // The view's dock (or its own window) and every widget it lies in.
    for (QWidget* shown = viewWindow_; shown != nullptr; shown = shown->parentWidget()) {
        shown->show();
        if (shown->isWindow()) break;
    }
    viewWindow_->window()->raise();
    viewWindow_->window()->activateWindow();
    viewWindow_->setFocus();
}

PixelSize GlViewLink::FrameSize() const {
    if (viewWindow_ == nullptr) return {};
    const QSize size = viewWindow_->FrameSize();
    return {size.width(), size.height()};
}

int32_t GlViewLink::LargestPictureSide() {
    return view::LargestPictureSide();
}

Result GlViewLink::SavePicture(const std::string& path, PixelSize size) {
    const std::string failed = "Cannot save the picture " + path;
    if (viewWindow_ == nullptr) return Result::Failure(failed, "there is no view");
    const Expected<view::Picture> picture =
        viewWindow_->TakePicture(QSize(size.Width, size.Height));
    if (!picture.Ok()) return Result::Failure(failed, picture.Message());
    const Result written = view::WritePng(picture->Image, QFile::decodeName(path.c_str()));
    if (!written.Ok()) return Result::Failure(failed, written.Reason());
    return {};
}

}  // namespace vexlor::desktop
