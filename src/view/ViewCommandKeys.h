// The view's keys beyond its designed key table: fit, the start view, the preset views of the
// numeric keypad and the shaded mode. None of them is a key of the designed table, which keeps
// every key it has (the keypad's plus and minus and its other digits stay unbound).
//
//   F                  fit the model          Shift+F   fit the current mesh
//   Home               the start view         W         shaded mode on or off
//   keypad 1, 3, 7     front, right, top      with Ctrl the opposite side: back, left, bottom
//   R                  model rotation on or off
//
// The keypad digits count with Num Lock on or off (off, they come as End, Page Down and Home
// with the keypad flag).
#pragma once

#include <Qt>

namespace vexlor::view {

enum class ViewCommand {
    None,
    FitModel,
    FitCurrentMesh,
    Reset,
    Front,
    Back,
    Right,
    Left,
    Top,
    Bottom,
    ToggleShaded,
    ToggleRotation,
};

ViewCommand ViewCommandForKey(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace vexlor::view
