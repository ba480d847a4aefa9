// The key table of the 3D view: Shift alone with an arrow pans; with any other modifier set the
// arrows and Page Up/Down turn and the main keyboard's plus and minus keys zoom. "+" zooms in
// whether or not the layout needs Shift to type it. Keys are Qt's; a key of the keypad is none of
// the table's, so the keypad never turns or zooms (its digits are view commands of their own).
#pragma once

#include <Qt>

#include "view/ViewState.h"

namespace vexlor::view {

// Changes the view for one press of the Qt key `key`; true when the key is in the table (the
// caller then draws one frame). "=" and "+" zoom in, "-" and "_" zoom out, whichever the layout
// puts on the key. Mouse buttons held count as modifiers, as the window system reports them.
bool ApplyViewKey(ViewState& view, int key, Qt::KeyboardModifiers modifiers,
                  Qt::MouseButtons buttons = Qt::NoButton);

// The pan step of Shift+arrow: ExtentMax div R(15 x Scale); 0 when R(15 x Scale) is 0.
int64_t PanStep(int32_t extentMax, double scale);
// R(10 / Scale), at least 1.
float TurnStep(double scale);

// The digit of a keypad key, also with Num Lock off (when the digits arrive as moving keys);
// -1 for any other key.
int KeypadDigit(int key);

}  // namespace vexlor::view
