// The view's keys.
#include "view/ViewStepKeys.h"

#include <cfloat>
#include <limits>

#include "view/ViewMath.h"

namespace vexlor::view {

int64_t PanStep(int32_t extentMax, double scale) {
    const int64_t divisor =
        ClampToRange(RoundHalfEven(15.0L * scale), std::numeric_limits<int64_t>::min() / 2,
                     std::numeric_limits<int64_t>::max() / 2);
    return divisor == 0 ? 0 : extentMax / divisor;
}

float TurnStep(double scale) {
    // Zooming out far enough underflows the scale to 0: the step is then as large as can be.
    if (scale == 0) return std::numeric_limits<float>::max();
    const float step = NarrowToFloat(RoundHalfEven(10.0L / scale));
    return step >= 1.0f ? step : 1.0f;  // also when NaN
}

namespace {

bool ShiftOnly(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return held == Qt::ShiftModifier && buttons == Qt::NoButton;
}

void Pan(int32_t& pan, int64_t step) {
    pan = SaturateInt32(int64_t{pan} + step);
}

// The scale times a factor in extended precision, kept within the doubles.
double Zoomed(double scale, long double factor) {
    const long double zoomed = static_cast<long double>(scale) * factor;
    return zoomed > DBL_MAX ? DBL_MAX : static_cast<double>(zoomed);
}

}  // namespace

bool ApplyViewKey(ViewState& view, int virtualKey, Qt::KeyboardModifiers modifiers,
                  Qt::MouseButtons buttons) {
    if (ShiftOnly(modifiers, buttons)) {
        const int64_t d = PanStep(view.ExtentMax, view.Scale);
        switch (virtualKey) {
            case vk::kLeft:
                Pan(view.PanX, d);
                return true;
            case vk::kRight:
                Pan(view.PanX, -d);
                return true;
            case vk::kUp:
                Pan(view.PanY, -d);
                return true;
            case vk::kDown:
                Pan(view.PanY, d);
                return true;
            case vk::kOemPlus:
                // "+" is Shift+"=" on many layouts: it zooms in like "=".
                view.Scale = Zoomed(view.Scale, 1.1L);
                return true;
            default:
                return false;
        }
    }
    view.KeyStep = TurnStep(view.Scale);
    switch (virtualKey) {
        case vk::kPageUp:
            view.AngleZ += view.KeyStep;
            return true;
        case vk::kPageDown:
            view.AngleZ -= view.KeyStep;
            return true;
        case vk::kLeft:
            view.AngleY += view.KeyStep;
            return true;
        case vk::kRight:
            view.AngleY -= view.KeyStep;
            return true;
        case vk::kUp:
            view.AngleX += view.KeyStep;
            return true;
        case vk::kDown:
            view.AngleX -= view.KeyStep;
            return true;
        case vk::kOemPlus:
            view.Scale = Zoomed(view.Scale, 1.1L);
            return true;
        case vk::kOemMinus:
            view.Scale = Zoomed(view.Scale, 0.9L);
            return true;
        default:
            return false;
    }
}

namespace {

int KeypadKey(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return vk::kNumpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
        case Qt::Key_Plus:
            return vk::kAdd;
        case Qt::Key_Minus:
            return vk::kSubtract;
        case Qt::Key_Asterisk:
            return vk::kMultiply;
        case Qt::Key_Slash:
            return vk::kDivide;
        case Qt::Key_Period:
        case Qt::Key_Comma:
        case Qt::Key_Delete:
            return vk::kDecimal;
        // With Num Lock off the digit keys arrive as moving keys; they stay keypad keys.
        case Qt::Key_Insert:
            return vk::kNumpad0;
        case Qt::Key_End:
            return vk::kNumpad0 + 1;
        case Qt::Key_Down:
            return vk::kNumpad0 + 2;
        case Qt::Key_PageDown:
            return vk::kNumpad0 + 3;
        case Qt::Key_Left:
            return vk::kNumpad0 + 4;
        case Qt::Key_Clear:
            return vk::kNumpad0 + 5;
        case Qt::Key_Right:
            return vk::kNumpad0 + 6;
        case Qt::Key_Home:
            return vk::kNumpad0 + 7;
        case Qt::Key_Up:
            return vk::kNumpad0 + 8;
        case Qt::Key_PageUp:
            return vk::kNumpad0 + 9;
        default:
            return 0;
    }
}

}  // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) return KeypadKey(qtKey);
    switch (qtKey) {
        case Qt::Key_PageUp:
            return vk::kPageUp;
        case Qt::Key_PageDown:
            return vk::kPageDown;
        case Qt::Key_Left:
            return vk::kLeft;
        case Qt::Key_Up:
            return vk::kUp;
        case Qt::Key_Right:
            return vk::kRight;
        case Qt::Key_Down:
            return vk::kDown;
        case Qt::Key_Equal:
        case Qt::Key_Plus:
            return vk::kOemPlus;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return vk::kOemMinus;
        default:
            return 0;
    }
}

}  // namespace vexlor::view
