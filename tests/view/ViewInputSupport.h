// A shown view window with its mouse and added keys (the window wires them: every change of the
// view draws a frame), and what the input reports recorded.
#pragma once

#include <QMouseEvent>
#include <QWheelEvent>

#include "ViewTestSupport.h"
#include "view/FrameTransform.h"
#include "view/ViewInput.h"

namespace vexlor::view::testing {

class InputView : public ShownView {
  protected:
    InputView() : input(form.Input()) {
        QObject::connect(&input, &ViewInput::FacePicked, [this](qint64 f) { picked.push_back(f); });
        QObject::connect(&input, &ViewInput::FaceUnderCursor,
                         [this](qint64 f) { hovered.push_back(f); });
    }
    void LoadModel(const std::vector<uint8_t>& bytes) { Load(bytes); }
    QWidget* Panel() const { return form.Panel(); }
    // Where a model point is on the panel now.
    QPointF At(float x, float y, float z = 0) const {
        const Vec3d w = FrameTransform::OfView(view).ModelToWindow({x, y, z});
        return {w.X, w.Y};
    }
    static QPoint Pixel(QPointF p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }
    // The cursor moved to a point of the panel, delivered at once (a move through the window
    // system would arrive whenever the X server sends it).
    void Move(QPoint to, Qt::MouseButtons held = Qt::NoButton,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), Panel()->mapToGlobal(QPointF(to)),
                         Qt::NoButton, held, modifiers);
        QApplication::sendEvent(Panel(), &move);
    }
    // A drag with the button held through `steps` moves.
    void Drag(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint from, QPoint to,
              int steps = 4) {
        QTest::mousePress(Panel(), button, modifiers, from);
        for (int i = 1; i <= steps; ++i)
            Move(from + (to - from) * i / steps, button, modifiers);
        QTest::mouseRelease(Panel(), button, modifiers, to);
    }
    void Wheel(QPointF at, int angle) {
        QWheelEvent wheel(at, Panel()->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Panel(), &wheel);
    }
    // The bounding box of everything drawn.
    QRect Drawn() {
        return PixelsWhere(form.GrabFrame(), [](QRgb c) { return HueOf(c) != Hue::Black; });
    }
    // The window box of model points in the current view.
    QRectF Projected(const std::vector<V3>& points) const {
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const V3& p : points) {
            const QPointF w = At(p.X, p.Y, p.Z);
            left = std::min(left, w.x());
            right = std::max(right, w.x());
            top = std::min(top, w.y());
            bottom = std::max(bottom, w.y());
        }
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }

    ViewInput& input;
    std::vector<qint64> picked, hovered;
};

// Rectangles alike within `slack` pixels on each side.
inline ::testing::AssertionResult SameBox(const QRect& drawn, const QRectF& expected,
                                          double slack = 2.0) {
    if (std::abs(drawn.left() - expected.left()) <= slack &&
        std::abs(drawn.right() - expected.right()) <= slack &&
        std::abs(drawn.top() - expected.top()) <= slack &&
        std::abs(drawn.bottom() - expected.bottom()) <= slack)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "drawn " << drawn.left() << "," << drawn.top() << " - " << drawn.right() << ","
           << drawn.bottom() << " expected " << expected.left() << "," << expected.top() << " - "
           << expected.right() << "," << expected.bottom();
}

}  // namespace vexlor::view::testing
