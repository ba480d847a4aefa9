// The key table of the 3D view: Shift alone with an arrow pans; with any other modifier set the
// arrows and Page Up/Down turn and the main keyboard's plus and minus keys zoom. "+" zooms in
// whether or not the layout needs Shift to type it. Keys are the
// Windows virtual-key codes, which Qt's keys are mapped to.
#pragma once

#include <Qt>

#include "view/ViewState.h"

namespace vexlor::view {

namespace vk {
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kNumpad0 = 96;  // ... kNumpad0 + 9
inline constexpr int kMultiply = 106;
inline constexpr int kAdd = 107;
inline constexpr int kSubtract = 109;
inline constexpr int kDecimal = 110;
inline constexpr int kDivide = 111;
inline constexpr int kOemPlus = 187;   // the key that types "+" (or "=" and "+")
inline constexpr int kOemMinus = 189;  // the key that types "-"
}  // namespace vk

// Changes the view for one key press; true when the key is in the table (the caller then draws
// one frame). Mouse buttons held count as modifiers, as the window system reports them.
bool ApplyViewKey(ViewState& view, int virtualKey, Qt::KeyboardModifiers modifiers,
                  Qt::MouseButtons buttons = Qt::NoButton);

// The pan step of Shift+arrow: ExtentMax div R(15 x Scale); 0 when R(15 x Scale) is 0.
int64_t PanStep(int32_t extentMax, double scale);
// R(10 / Scale), at least 1.
float TurnStep(double scale);

// The virtual-key code for a Qt key: the arrows and page keys, "=" and "+" as 187, "-" and "_"
// as 189 (whichever the layout puts on the key), and keypad keys as the keypad's own codes,
// so that none of them is taken for a key of the main keyboard. 0 for keys the view ignores.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace vexlor::view
