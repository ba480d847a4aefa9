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

TEST(ViewKeys, EveryRowOfTheTableAtScaleOne) {
    const KeyCase cases[] = {
        {vk::kPageUp, kNone, 0, 0, 10, 0, 0},
        {vk::kPageDown, kNone, 0, 0, -10, 0, 0},
        {vk::kLeft, kNone, 0, 10, 0, 0, 0},
        {vk::kRight, kNone, 0, -10, 0, 0, 0},
        {vk::kUp, kNone, 10, 0, 0, 0, 0},
        {vk::kDown, kNone, -10, 0, 0, 0, 0},
        {vk::kLeft, Qt::ControlModifier, 0, 10, 0, 0, 0},
        {vk::kUp, Qt::AltModifier, 10, 0, 0, 0, 0},
        {vk::kLeft, kShift | Qt::ControlModifier, 0, 10, 0, 0, 0},  // turns, not pans
        {vk::kLeft, kShift, 0, 0, 0, 26, 0},                        // 400 div 15
        {vk::kRight, kShift, 0, 0, 0, -26, 0},
        {vk::kUp, kShift, 0, 0, 0, 0, -26},
        {vk::kDown, kShift, 0, 0, 0, 0, 26},
        {vk::kLeft, kShift | Qt::KeypadModifier, 0, 0, 0, 26, 0},  // not a held key
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

TEST(ViewKeys, ZoomKeysMultiplyInExtendedPrecision) {
    ViewState view;
    EXPECT_TRUE(ApplyViewKey(view, vk::kOemPlus, kNone));
    EXPECT_EQ(view.Scale, static_cast<double>(1.1L));
    EXPECT_TRUE(ApplyViewKey(view, vk::kOemMinus, Qt::ControlModifier));
    EXPECT_EQ(view.Scale, static_cast<double>(static_cast<double>(1.1L) * 0.9L));
    EXPECT_NE(view.Scale, 1.0);  // one press of each does not give the old scale back
    // Shift alone: the arrows pan, and "+" (Shift+"=" on many layouts) still zooms in.
    const double before = view.Scale;
    EXPECT_TRUE(ApplyViewKey(view, vk::kOemPlus, kShift));
    EXPECT_EQ(view.Scale, static_cast<double>(before * 1.1L));
    EXPECT_FALSE(ApplyViewKey(view, vk::kOemMinus, kShift));
    EXPECT_FALSE(ApplyViewKey(view, vk::kPageUp, kShift));
    EXPECT_EQ(view.AngleZ, 0);
}

TEST(ViewKeys, KeysOutsideTheTableChangeNothing) {
    for (const int key : {0, vk::kAdd, vk::kSubtract, vk::kNumpad0 + 4, 13, 65, 36}) {
        for (const Qt::KeyboardModifiers modifiers : {kNone, kShift}) {
            ViewState view;
            view.ExtentMax = 400;
            EXPECT_FALSE(ApplyViewKey(view, key, modifiers)) << key;
            EXPECT_EQ(view.Scale, 1.0);
            EXPECT_EQ(view.AngleX + view.AngleY + view.AngleZ, 0);
            EXPECT_EQ(view.PanX + view.PanY, 0);
        }
    }
}

TEST(ViewKeys, HeldMouseButtonsMakeShiftArrowsTurn) {
    ViewState view;
    view.ExtentMax = 400;
    EXPECT_TRUE(ApplyViewKey(view, vk::kLeft, kShift, Qt::LeftButton));
    EXPECT_EQ(view.AngleY, 10);
    EXPECT_EQ(view.PanX, 0);
}

TEST(ViewKeys, StepsFollowTheScale) {
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
    ApplyViewKey(view, vk::kPageUp, kNone);
    EXPECT_EQ(view.KeyStep, 2);
    EXPECT_EQ(view.AngleZ, 2);
}

TEST(ViewKeys, PanWithoutAStepOrBeyond32BitsStaysDefined) {
    ViewState view;
    view.ExtentMax = 400;
    view.Scale = 0.02;  // R(0.3) = 0
    EXPECT_TRUE(ApplyViewKey(view, vk::kLeft, kShift));
    EXPECT_EQ(view.PanX, 0);

    view.ExtentMax = std::numeric_limits<int32_t>::max();
    view.Scale = 0.1;  // step of half the 32-bit range
    for (int i = 0; i < 4; ++i)
        ApplyViewKey(view, vk::kLeft, kShift);
    EXPECT_EQ(view.PanX, std::numeric_limits<int32_t>::max());

    view.Scale = std::numeric_limits<double>::max();
    ApplyViewKey(view, vk::kOemPlus, kNone);
    EXPECT_EQ(view.Scale, std::numeric_limits<double>::max());
}

TEST(ViewKeys, QtKeysMapToTheCodesWhateverTheLayoutPutsOnThem) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left, kShift), vk::kLeft);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Equal, kNone), vk::kOemPlus);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, kNone), vk::kOemPlus);  // a "+" key of its own
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Underscore, kShift), vk::kOemMinus);
    // Keypad keys keep codes of their own, so they never zoom or turn.
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, Qt::KeypadModifier), vk::kAdd);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus, Qt::KeypadModifier), vk::kSubtract);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left, Qt::KeypadModifier), vk::kNumpad0 + 4);
}

}  // namespace
}  // namespace vexlor::view
