// The key table of the view: every row, the steps worked out from the scale, the modifier sets
// that pan and those that turn, the keys that do nothing, and Qt's keys mapped to the codes.
#include <gtest/gtest.h>

#include <limits>

#include "view/ViewStepKeys.h"

namespace vexlor::view {
namespace {

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    float angleX, angleY, angleZ;
    int32_t panX, panY;
};

TEST(ViewStepKeys, EveryRowOfTheTableAtScaleOne) {
    const KeyCase cases[] = {
        {Qt::Key_PageUp, kNone, 0, 0, 10, 0, 0},
        {Qt::Key_PageDown, kNone, 0, 0, -10, 0, 0},
        {Qt::Key_Left, kNone, 0, 10, 0, 0, 0},
        {Qt::Key_Right, kNone, 0, -10, 0, 0, 0},
        {Qt::Key_Up, kNone, 10, 0, 0, 0, 0},
        {Qt::Key_Down, kNone, -10, 0, 0, 0, 0},
        {Qt::Key_Left, Qt::ControlModifier, 0, 10, 0, 0, 0},
        {Qt::Key_Up, Qt::AltModifier, 10, 0, 0, 0, 0},
        {Qt::Key_Left, kShift | Qt::ControlModifier, 0, 10, 0, 0, 0},  // turns, not pans
        {Qt::Key_Left, kShift, 0, 0, 0, 26, 0},                        // 400 div 15
        {Qt::Key_Right, kShift, 0, 0, 0, -26, 0},
        {Qt::Key_Up, kShift, 0, 0, 0, 0, -26},
        {Qt::Key_Down, kShift, 0, 0, 0, 0, 26},
    };
    for (const KeyCase& c : cases) {
        ViewState view;
        view.ExtentMax = 400;
        EXPECT_TRUE(ApplyViewKey(view, c.key, c.modifiers)) << c.key;
        EXPECT_EQ(view.AngleX, c.angleX) << c.key;
        EXPECT_EQ(view.AngleY, c.angleY) << c.key;
        EXPECT_EQ(view.AngleZ, c.angleZ) << c.key;
        EXPECT_EQ(view.PanX, c.panX) << c.key;
        EXPECT_EQ(view.PanY, c.panY) << c.key;
        EXPECT_EQ(view.Scale, 1.0);
    }
}

TEST(ViewStepKeys, ZoomKeysMultiplyInExtendedPrecision) {
    ViewState view;
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Equal, kNone));
    EXPECT_EQ(view.Scale, static_cast<double>(1.1L));
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Minus, Qt::ControlModifier));
    EXPECT_EQ(view.Scale, static_cast<double>(static_cast<double>(1.1L) * 0.9L));
    EXPECT_NE(view.Scale, 1.0);  // one press of each does not give the old scale back
    // Shift alone: the arrows pan, and "+" (Shift+"=" on many layouts) still zooms in.
    const double before = view.Scale;
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Equal, kShift));
    EXPECT_EQ(view.Scale, static_cast<double>(before * 1.1L));
    EXPECT_FALSE(ApplyViewKey(view, Qt::Key_Minus, kShift));
    EXPECT_FALSE(ApplyViewKey(view, Qt::Key_PageUp, kShift));
    EXPECT_EQ(view.AngleZ, 0);
}

TEST(ViewStepKeys, KeysOutsideTheTableChangeNothing) {
    // Keypad keys are none of the table's, so they never zoom, turn or pan (Num Lock off, the
    // keypad's 4 arrives as Left; Shift with it is no held key that would make it pan).
    const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
    const std::pair<int, Qt::KeyboardModifiers> presses[] = {{0, kNone},
                                                             {Qt::Key_Return, kShift},
                                                             {Qt::Key_A, kNone},
                                                             {Qt::Key_Home, kNone},
                                                             {Qt::Key_Plus, keypad},
                                                             {Qt::Key_Minus, keypad},
                                                             {Qt::Key_Left, keypad},
                                                             {Qt::Key_Left, kShift | keypad}};
    for (const auto& [key, modifiers] : presses) {
        {
            ViewState view;
            view.ExtentMax = 400;
            EXPECT_FALSE(ApplyViewKey(view, key, modifiers)) << key;
            EXPECT_EQ(view.Scale, 1.0);
            EXPECT_EQ(view.AngleX + view.AngleY + view.AngleZ, 0);
            EXPECT_EQ(view.PanX + view.PanY, 0);
        }
    }
}

TEST(ViewStepKeys, HeldMouseButtonsMakeShiftArrowsTurn) {
    ViewState view;
    view.ExtentMax = 400;
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Left, kShift, Qt::LeftButton));
    EXPECT_EQ(view.AngleY, 10);
    EXPECT_EQ(view.PanX, 0);
}

TEST(ViewStepKeys, StepsFollowTheScale) {
    EXPECT_EQ(TurnStep(1.0), 10);
    EXPECT_EQ(TurnStep(4.0), 2);  // 2.5 to the even neighbour
    EXPECT_EQ(TurnStep(30.0), 1);
    EXPECT_EQ(TurnStep(0.0), std::numeric_limits<float>::max());
    EXPECT_EQ(TurnStep(std::numeric_limits<double>::infinity()), 1);
    EXPECT_EQ(PanStep(400, 1.0), 26);
    EXPECT_EQ(PanStep(400, 0.1), 200);  // R(1.5) = 2
    EXPECT_EQ(PanStep(-400, 1.0), -26);
    EXPECT_EQ(PanStep(400, 1.0 / 30), 0);  // R(0.5) = 0: no step
    EXPECT_EQ(PanStep(400, std::numeric_limits<double>::infinity()), 0);

    ViewState view;
    view.ExtentMax = 400;
    view.Scale = 4.0;
    ApplyViewKey(view, Qt::Key_PageUp, kNone);
    EXPECT_EQ(view.KeyStep, 2);
    EXPECT_EQ(view.AngleZ, 2);
}

TEST(ViewStepKeys, PanWithoutAStepOrBeyond32BitsStaysDefined) {
    ViewState view;
    view.ExtentMax = 400;
    view.Scale = 0.02;  // R(0.3) = 0
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Left, kShift));
    EXPECT_EQ(view.PanX, 0);

    view.ExtentMax = std::numeric_limits<int32_t>::max();
    view.Scale = 0.1;  // step of half the 32-bit range
    for (int i = 0; i < 4; ++i)
        ApplyViewKey(view, Qt::Key_Left, kShift);
    EXPECT_EQ(view.PanX, std::numeric_limits<int32_t>::max());

    view.Scale = std::numeric_limits<double>::max();
    ApplyViewKey(view, Qt::Key_Equal, kNone);
    EXPECT_EQ(view.Scale, std::numeric_limits<double>::max());
}

TEST(ViewStepKeys, EitherKeyOfAPairZoomsAndKeypadKeysHaveTheirDigits) {
    ViewState view;
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Plus, kNone));  // a "+" key of its own
    EXPECT_TRUE(ApplyViewKey(view, Qt::Key_Underscore, kShift | Qt::ControlModifier));
    EXPECT_EQ(view.Scale, static_cast<double>(static_cast<double>(1.1L) * 0.9L));
    EXPECT_EQ(KeypadDigit(Qt::Key_Left), 4);
    EXPECT_EQ(KeypadDigit(Qt::Key_7), 7);
    EXPECT_EQ(KeypadDigit(Qt::Key_Plus), -1);
}

}  // namespace
}  // namespace vexlor::view
