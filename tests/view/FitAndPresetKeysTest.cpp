// The added keys on the view window: F fits the model into the frame with a margin (Shift+F the
// current mesh), Home goes back to the start view, the keypad's 1, 3 and 7 (with Ctrl the
// opposite side) show the preset views, W asks for the shaded mode; the designed keys keep
// their table and the keypad's other keys stay unbound.
#include <QSignalSpy>

#include "ViewInputSupport.h"
#include "samples/SampleModels.h"
#include "view/ViewCommandKeys.h"
#include "view/ViewFit.h"
#include "view/ViewStepKeys.h"

namespace vexlor::view::testing {
namespace {

using FitKeys = InputView;

// Everything drawn lies inside the frame less the margin, and reaches the margin on some side.
void ExpectFitted(const QRect& drawn) {
    const double marginX = 457 * kFitMargin, marginY = 417 * kFitMargin;
    EXPECT_GE(drawn.left(), marginX - 2);
    EXPECT_GE(drawn.top(), marginY - 2);
    EXPECT_LE(drawn.right(), 457 - marginX + 2);
    EXPECT_LE(drawn.bottom(), 417 - marginY + 2);
    const bool reachesAcross = drawn.left() <= marginX + 3 && drawn.right() >= 457 - marginX - 4;
    const bool reachesUp = drawn.top() <= marginY + 3 && drawn.bottom() >= 417 - marginY - 4;
    EXPECT_TRUE(reachesAcross || reachesUp)
        << drawn.left() << "," << drawn.top() << " - " << drawn.right() << "," << drawn.bottom();
}

TEST_F(FitKeys, FFitsTheWholeModelWithAMarginFromAnyAngle) {
    Load(vexlor::testing::BuildFighter());
    input.ModelChanged();
    form.Selection().ShowLod = 0;
    struct Angles {
        float x, y, z;
        double scale;
        int32_t panX, panY;
    };
    for (const Angles& a : {Angles{0, 0, 0, 1, 0, 0}, Angles{-60, 0, 35, 3.5, 900, -400},
                            Angles{-54.7f, 10, -45, 0.2, 0, 0}, Angles{170, 20, 80, 1, -50, 50}}) {
        view.AngleX = a.x;
        view.AngleY = a.y;
        view.AngleZ = a.z;
        view.Scale = a.scale;
        view.PanX = a.panX;
        view.PanY = a.panY;
        const int64_t frames = form.FramesDrawn();
        QTest::keyClick(&form, Qt::Key_F);
        EXPECT_EQ(form.FramesDrawn(), frames + 1);
        EXPECT_EQ(view.AngleX, a.x);  // the angles stay
        ExpectFitted(Drawn());
    }
}

TEST_F(FitKeys, ShiftFFitsTheCurrentMesh) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    view.AngleX = -30;
    form.Selection().CurrentMesh = 1;
    QTest::keyClick(&form, Qt::Key_F, Qt::ShiftModifier);
    ExpectFitted(PixelsOf(form.GrabFrame(), Hue::Red));
    // The square seen at -30 degrees: wider than tall, so it reaches across.
    const QRect red = PixelsOf(form.GrabFrame(), Hue::Red);
    EXPECT_GT(red.width(), 457 * (1 - 2 * kFitMargin) - 4);
}

TEST_F(FitKeys, SeenEdgeOnAFitStillShowsTheModelInside) {
    // Off the origin in z: from the front the pan cannot move it up or down.
    OptBuilder b(0);
    b.SetMeshes({AddSquareMesh(b, SquareAt(-300, -300, 300, 300, 150))});
    LoadModel(b.Build());
    QTest::keyClick(&form, Qt::Key_1, Qt::KeypadModifier);
    QTest::keyClick(&form, Qt::Key_F);
    const QRect drawn = Drawn();
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_TRUE(QRect(0, 0, 457, 417).adjusted(20, 18, -20, -18).contains(drawn));
}

TEST_F(FitKeys, HomeGoesBackToTheStartView) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    const QImage start = form.GrabFrame();
    Drag(Qt::LeftButton, Qt::NoModifier, QPoint(100, 100), QPoint(160, 150));
    Drag(Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100), QPoint(160, 150));
    QTest::keyClick(&form, Qt::Key_Equal);
    ASSERT_NE(form.GrabFrame(), start);
    QTest::keyClick(&form, Qt::Key_Home);
    EXPECT_EQ(view.AngleX, 0);
    EXPECT_EQ(view.AngleZ, 0);
    EXPECT_EQ(view.Scale, 1.0);
    EXPECT_EQ(view.PanX, 0);
    EXPECT_EQ(view.PanY, 0);
    EXPECT_EQ(form.GrabFrame(), start);
}

TEST_F(FitKeys, KeypadDigitsShowThePresetViewsWithNumLockOnOrOff) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        PresetView preset;
    };
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    for (const Case& c :
         {Case{Qt::Key_1, pad, PresetView::Front},
          Case{Qt::Key_1, pad | Qt::ControlModifier, PresetView::Back},
          Case{Qt::Key_3, pad, PresetView::Right},
          Case{Qt::Key_3, pad | Qt::ControlModifier, PresetView::Left},
          Case{Qt::Key_7, pad, PresetView::Top},
          Case{Qt::Key_7, pad | Qt::ControlModifier, PresetView::Bottom},
          // Num Lock off: End, Page Down and Home with the keypad flag.
          Case{Qt::Key_End, pad, PresetView::Front}, Case{Qt::Key_PageDown, pad, PresetView::Right},
          Case{Qt::Key_Home, pad | Qt::ControlModifier, PresetView::Bottom}}) {
        view.AngleX = view.AngleY = view.AngleZ = 33;
        const int64_t frames = form.FramesDrawn();
        QTest::keyClick(&form, c.key, c.modifiers);
        const ViewAngles want = PresetAngles(c.preset);
        EXPECT_EQ(view.AngleX, want.AngleX) << c.key;
        EXPECT_EQ(view.AngleY, want.AngleY) << c.key;
        EXPECT_EQ(view.AngleZ, want.AngleZ) << c.key;
        EXPECT_EQ(form.FramesDrawn(), frames + 1);
    }
    // From the front the model's z axis is up and x to the right: the squares side by side on
    // one line (the model is flat in z).
    QTest::keyClick(&form, Qt::Key_1, pad);
    const QRect red = PixelsOf(form.GrabFrame(), Hue::Red);
    const QRect cyan = PixelsOf(form.GrabFrame(), Hue::Cyan);
    EXPECT_LE(red.height(), 2);
    EXPECT_LT(red.right(), cyan.left());
    // From the back, x runs to the left.
    QTest::keyClick(&form, Qt::Key_1, pad | Qt::ControlModifier);
    EXPECT_GT(PixelsOf(form.GrabFrame(), Hue::Red).left(),
              PixelsOf(form.GrabFrame(), Hue::Cyan).right());
}

TEST_F(FitKeys, TheKeypadsOtherKeysStayUnboundAndWAsksForTheShadedMode) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    QSignalSpy shaded(&input, &ViewInput::ShadedToggled);
    const int64_t frames = form.FramesDrawn();
    for (const Qt::Key key : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_0, Qt::Key_2, Qt::Key_4,
                              Qt::Key_5, Qt::Key_9, Qt::Key_Left, Qt::Key_Up, Qt::Key_Clear}) {
        QTest::keyClick(&form, key, Qt::KeypadModifier);
    }
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(form.FramesDrawn(), frames);
    EXPECT_EQ(view.AngleX + view.AngleY + view.AngleZ, 0);
    EXPECT_EQ(view.Scale, 1.0);
    QTest::keyClick(&form, Qt::Key_W);
    EXPECT_EQ(shaded.count(), 1);
}

TEST(ViewCommandKeys, NoKeyOfTheDesignedTableIsTakenAndNoAddedKeyIsInIt) {
    std::vector<int> keys;
    for (int key = 0x20; key <= 0x7e; ++key)
        keys.push_back(key);  // printable keys
    for (int key = 0x01000000; key <= 0x010000ff; ++key)
        keys.push_back(key);  // moving, function and other named keys
    const Qt::KeyboardModifiers sets[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
                                          Qt::AltModifier, Qt::ShiftModifier | Qt::ControlModifier};
    int designedKeys = 0;
    for (const int key : keys) {
        for (const Qt::KeyboardModifiers held : sets) {
            for (const Qt::KeyboardModifiers modifiers : {held, held | Qt::KeypadModifier}) {
                ViewState scratch;
                const bool inTable = ApplyViewKey(scratch, key, modifiers);
                const ViewCommand command = ViewCommandForKey(key, modifiers);
                EXPECT_FALSE(inTable && command != ViewCommand::None) << key;
                designedKeys += inTable ? 1 : 0;
            }
        }
    }
    EXPECT_GT(designedKeys, 30);
}

}  // namespace
}  // namespace vexlor::view::testing
