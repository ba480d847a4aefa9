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

bool ApplyViewKey(ViewState& view, int key, Qt::KeyboardModifiers modifiers,
                  Qt::MouseButtons buttons) {
    if (modifiers & Qt::KeypadModifier) return false;
    // The key as the table names it: "+" as "=", "_" as "-".
    const int tableKey = key == Qt::Key_Plus         ? Qt::Key_Equal
                         : key == Qt::Key_Underscore ? Qt::Key_Minus
                                                     : key;
    if (ShiftOnly(modifiers, buttons)) {
        const int64_t d = PanStep(view.ExtentMax, view.Scale);
        switch (tableKey) {
            case Qt::Key_Left:
                Pan(view.PanX, d);
                return true;
            case Qt::Key_Right:
                Pan(view.PanX, -d);
                return true;
            case Qt::Key_Up:
                Pan(view.PanY, -d);
                return true;
            case Qt::Key_Down:
                Pan(view.PanY, d);
                return true;
            case Qt::Key_Equal:
                // "+" is Shift+"=" on many layouts: it zooms in like "=".
                view.Scale = Zoomed(view.Scale, 1.1L);
                return true;
            default:
                return false;
        }
    }
    view.KeyStep = TurnStep(view.Scale);
    switch (tableKey) {
        case Qt::Key_PageUp:
            view.AngleZ += view.KeyStep;
            return true;
        case Qt::Key_PageDown:
            view.AngleZ -= view.KeyStep;
            return true;
        case Qt::Key_Left:
            view.AngleY += view.KeyStep;
            return true;
        case Qt::Key_Right:
            view.AngleY -= view.KeyStep;
            return true;
        case Qt::Key_Up:
            view.AngleX += view.KeyStep;
            return true;
        case Qt::Key_Down:
            view.AngleX -= view.KeyStep;
            return true;
        case Qt::Key_Equal:
            view.Scale = Zoomed(view.Scale, 1.1L);
            return true;
        case Qt::Key_Minus:
            view.Scale = Zoomed(view.Scale, 0.9L);
            return true;
        default:
            return false;
    }
}

int KeypadDigit(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
    switch (key) {
        case Qt::Key_Insert:
            return 0;
        case Qt::Key_End:
            return 1;
        case Qt::Key_Down:
            return 2;
        case Qt::Key_PageDown:
            return 3;
        case Qt::Key_Left:
            return 4;
        case Qt::Key_Clear:
            return 5;
        case Qt::Key_Right:
            return 6;
        case Qt::Key_Home:
            return 7;
        case Qt::Key_Up:
            return 8;
        case Qt::Key_PageUp:
            return 9;
        default:
            return -1;
    }
}

}  // namespace vexlor::view
