// The view window, its keys, its mouse and its pictures.
#include "view/ViewWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "view/Projection.h"
#include "view/StatusTexts.h"
#include "view/ViewFit.h"
#include "view/ViewMouse.h"
#include "view/ViewStepKeys.h"

namespace vexlor::view {

namespace {

// Small enough for a narrow dock, large enough to see a model.
constexpr int kMinimumPanelWidth = 160;
constexpr int kMinimumPanelHeight = 120;

}  // namespace

ViewWindow::ViewWindow(ViewState& view, QWidget* parent)
    : QWidget(parent),
      view_(view),
      numbers_(DecimalSeparatorFromEnvironment()),
      panel_(new GlPanel(view, this)),
      input_(view, [this] { return InputScene(); }) {
    setObjectName(QStringLiteral("viewWindow"));
    setWindowTitle(QStringLiteral("GLform"));
    setFocusPolicy(Qt::StrongFocus);
    // The panel fills the widget and follows its size: the frames are the panel's size.
    panel_->setObjectName(QStringLiteral("viewPanel"));
    panel_->setMinimumSize(kMinimumPanelWidth, kMinimumPanelHeight);
    panel_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel_);
    resize(kPanelWidth, kPanelHeight);

    input_.Attach(panel_, this);
    connect(&input_, &ViewInput::ViewChanged, this, &ViewWindow::Redraw);
    connect(&input_, &ViewInput::ViewMoved, this, &ViewWindow::RequestFrame);
    connect(&input_, &ViewInput::DraggingChanged, panel_, &GlPanel::SetDragging);
    connect(panel_, &GlPanel::SeenChanged, this, &ViewWindow::SeenChanged);
    connect(&input_, &ViewInput::FacePicked, this, &ViewWindow::Picked);
    connect(&input_, &ViewInput::FaceUnderCursor, this, &ViewWindow::FaceUnderCursor);
    connect(&input_, &ViewInput::ShadedToggled, this, [this] { SetShaded(!Selection().Shaded); });
    connect(&input_, &ViewInput::RotationToggled, this, &ViewWindow::RotationToggled);
}

ViewScene ViewWindow::InputScene() const {
    ViewScene scene;
    if (const OptModel* model = panel_->Model(); model != nullptr)
        scene.Faces = std::span<const DrawFace>(model->DrawFaces);
    scene.ShowLod = Selection().ShowLod;
    scene.CurrentMesh = Selection().CurrentMesh;
    return scene;
}

void ViewWindow::SetupScene() {
    input_.ModelChanged();
    panel_->SetupScene();
    setWindowTitle(
        QString::fromStdString(ModelSizeCaption(view_.ExtentMax, view_.ExtentMin, numbers_)));
}

void ViewWindow::Redraw() {
    panel_->RenderScene();
    input_.RefreshHover();
}

void ViewWindow::RequestFrame() {
    panel_->RequestFrame();
    input_.RefreshHover();
}

QSize ViewWindow::FrameSize() const {
    if (view_.ViewportWidth > 0 && view_.ViewportHeight > 0)
        return {view_.ViewportWidth, view_.ViewportHeight};
    const qreal ratio = panel_->devicePixelRatioF();
    return {qRound(panel_->width() * ratio), qRound(panel_->height() * ratio)};
}

Expected<Picture> ViewWindow::TakePicture(QSize size) const {
    PictureRequest request;
    request.Size = size;
    request.View = CameraOf(view_);
    request.Box = ViewBoxOf(view_);
    request.KeepProportions = size != FrameSize();
    request.Scene = panel_->Scene();
    request.Look = panel_->Look();
    return RenderPicture(request);
}

std::string ViewWindow::ModelStatus() const {
    const OptModel* model = panel_->Model();
    if (model == nullptr) return {};
    const ModelNumbers numbers = CountModelNumbers(
        model->DrawFaces, static_cast<int32_t>(model->Meshes.MeshPositions.size()),
        Selection().ShowLod, view_.ExtentMax, view_.ExtentMin, model->VertexCount);
    return ModelNumbersText(numbers, numbers_);
}

std::string ViewWindow::UnderCursorStatus(int64_t face) const {
    const OptModel* model = panel_->Model();
    if (model == nullptr || face < 0 || static_cast<uint64_t>(face) >= model->DrawFaces.size())
        return {};
    const DrawFace& drawn = model->DrawFaces[static_cast<size_t>(face)];
    return UnderCursorText(drawn.Mesh, drawn.FaceInBlock);
}

void ViewWindow::SetShaded(bool on) {
    if (Selection().Shaded == on) return;
    Selection().Shaded = on;
    Redraw();
    emit ShadedChanged(on);
}

void ViewWindow::HighlightFace(int64_t face) {
    Selection().HighlightFace = face;
    Redraw();
}

void ViewWindow::MarkFaces(std::vector<int64_t> faces) {
    Selection().MarkedFaces = std::move(faces);
    Redraw();
}

void ViewWindow::ShowFace(int64_t face) {
    const OptModel* model = panel_->Model();
    if (model != nullptr && face >= 0 && static_cast<uint64_t>(face) < model->DrawFaces.size()) {
        const DrawFace& shown = model->DrawFaces[static_cast<size_t>(face)];
        const FrameTransform frame = FrameTransform::OfView(view_);
        bool inside = frame.Usable();
        for (const Vec3& corner : shown.Corners) {
            const Vec3d at = frame.ModelToWindow(ToVec3d(corner));
            inside = inside && at.X >= 0 && at.X <= view_.ViewportWidth && at.Y >= 0 &&
                     at.Y <= view_.ViewportHeight;
        }
        if (!inside) CentreOn(view_, frame, FaceCentre(shown));
    }
    HighlightFace(face);
}

void ViewWindow::Picked(qint64 face) {
    HighlightFace(face);
    emit FacePicked(face);
}

void ViewWindow::KeyDown(int key, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    if (ApplyViewKey(view_, key, modifiers, buttons)) Redraw();
}

void ViewWindow::PressKey(int key, Qt::KeyboardModifiers modifiers) {
    const ViewCommand command = ViewCommandForKey(key, modifiers);
    if (command != ViewCommand::None)
        input_.Run(command);
    else
        KeyDown(key, modifiers);
}

void ViewWindow::FrameModel() {
    const ViewScene scene = InputScene();
    // Into the designed square box, which the box of a panel of any shape contains: the model
    // stays framed when the dock changes the panel's size later.
    FitTurning(view_, ProjectionBox(view_.ExtentMax, view_.ExtentMin), scene.Faces,
               {scene.ShowLod, -1});
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
    KeyDown(event->key(), event->modifiers(), QGuiApplication::mouseButtons());
}

}  // namespace vexlor::view
