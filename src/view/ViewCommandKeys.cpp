// The added keys.
#include "view/ViewCommandKeys.h"

#include "view/ViewStepKeys.h"

namespace vexlor::view {

ViewCommand ViewCommandForKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (modifiers & Qt::KeypadModifier) {
        const bool ctrl = held == Qt::ControlModifier;
        if (held != Qt::NoModifier && !ctrl) return ViewCommand::None;
        switch (KeypadDigit(qtKey)) {
            case 1:
                return ctrl ? ViewCommand::Back : ViewCommand::Front;
            case 3:
                return ctrl ? ViewCommand::Left : ViewCommand::Right;
            case 7:
                return ctrl ? ViewCommand::Bottom : ViewCommand::Top;
            default:
                return ViewCommand::None;
        }
    }
    switch (qtKey) {
        case Qt::Key_F:
            if (held == Qt::NoModifier) return ViewCommand::FitModel;
            if (held == Qt::ShiftModifier) return ViewCommand::FitCurrentMesh;
            return ViewCommand::None;
        case Qt::Key_Home:
            return held == Qt::NoModifier ? ViewCommand::Reset : ViewCommand::None;
        case Qt::Key_W:
            return held == Qt::NoModifier ? ViewCommand::ToggleShaded : ViewCommand::None;
        case Qt::Key_R:
            return held == Qt::NoModifier ? ViewCommand::ToggleRotation : ViewCommand::None;
        default:
            return ViewCommand::None;
    }
}

}  // namespace vexlor::view
