// The frames the key table gives, pinned pixel for pixel: each case loads a model, presses a
// sequence of the view's keys (or lets the rotation turn it a few frames) and compares the frame
// read back with a picture recorded in tests/view/frames/. The software renderer draws the same
// pixels for the same calls, so any difference means the designed picture changed.
//
// VEXLOR_RECORD_FRAMES=1 writes the pictures instead of comparing (only after a change of the
// designed picture that is meant); a failing case writes what it drew beside the build's
// programs as pinned-NAME.png. The software drawing of the thumbnails draws the frame's pixels
// too, to within a pixel.
#include <QCoreApplication>
#include <QDir>
#include <functional>
#include <string>

#include "ViewTestSupport.h"
#include "samples/SampleModels.h"
#include "view/OffscreenPicture.h"
#include "view/RotationThread.h"
#include "view/WireframeImage.h"

namespace vexlor::view::testing {
namespace {

struct PinnedCase {
    std::string name;
    bool fighter;  // else the two-mesh model
    std::function<void(ViewWindow&, ViewState&, OptDocument&)> steps;
};

void Press(ViewWindow& form, Qt::Key key, int times = 1,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (int i = 0; i < times; ++i)
        QTest::keyClick(&form, key, modifiers);
}

// What the rotation thread does for each frame, on this thread.
void TurnFrames(ViewWindow& form, ViewState& view, int frames) {
    for (int i = 0; i < frames; ++i) {
        view.AngleZ += view.SpinStep;
        form.Redraw();
    }
}

int32_t NodeOf(const OptDocument& document, int32_t type, int32_t mesh) {
    const auto& table = document.Model().BlockTable;
    for (size_t k = 0; k < table.size(); ++k) {
        if (table[k].Type == type && table[k].Mesh == mesh) return static_cast<int32_t>(k);
    }
    ADD_FAILURE() << "no block of type " << type << " in mesh " << mesh;
    return 0;
}

// A tree node chosen as the main window chooses it: its mesh red, its marker shown.
bool ChooseBlock(ViewWindow& form, const ViewState& view, OptDocument& document, int32_t node) {
    std::vector<std::string> lines;
    const std::optional<ShownBlock> shown = document.DisplayBlock(node, lines);
    if (!shown) return false;
    SelectBlock(form.Selection(), *shown, view.ExtentMax, view.ExtentMin);
    return true;
}

std::vector<PinnedCase> Cases() {
    using Mods = Qt::KeyboardModifiers;
    return {
        {"two-mesh-at-rest", false, [](ViewWindow&, ViewState&, OptDocument&) {}},
        {"two-mesh-turned-zoomed-panned", false,
         [](ViewWindow& form, ViewState&, OptDocument&) {
             Press(form, Qt::Key_Up, 2);
             Press(form, Qt::Key_Left, 3);
             Press(form, Qt::Key_PageUp);
             Press(form, Qt::Key_Equal, 2);
             Press(form, Qt::Key_Left, 2, Qt::ShiftModifier);
             Press(form, Qt::Key_Down, 1, Qt::ShiftModifier);
         }},
        {"fighter-at-rest", true, [](ViewWindow&, ViewState&, OptDocument&) {}},
        {"fighter-from-above-aside", true,
         [](ViewWindow& form, ViewState&, OptDocument&) {
             Press(form, Qt::Key_Down, 6);
             Press(form, Qt::Key_PageDown, 4);
             Press(form, Qt::Key_Right, 1, Mods(Qt::ControlModifier));
         }},
        {"fighter-zoomed-in-and-panned", true,
         [](ViewWindow& form, ViewState&, OptDocument&) {
             Press(form, Qt::Key_Plus, 3, Qt::ShiftModifier);
             Press(form, Qt::Key_Right, 2, Qt::ShiftModifier);
             Press(form, Qt::Key_Up, 3, Qt::ShiftModifier);
             // At zoom 1.331 the turning step is 8 degrees.
             Press(form, Qt::Key_Up, 5);
             Press(form, Qt::Key_Left, 1, Mods(Qt::ShiftModifier | Qt::ControlModifier));
         }},
        {"fighter-zoomed-out-all-levels", true,
         [](ViewWindow& form, ViewState&, OptDocument&) {
             Press(form, Qt::Key_Minus, 4);
             Press(form, Qt::Key_Up, 4);
             Press(form, Qt::Key_Left, 2);
             form.Selection().ShowLod = 0;
             form.Redraw();
         }},
        {"fighter-turning-at-the-start-step", true,
         [](ViewWindow& form, ViewState& view, OptDocument&) {
             Press(form, Qt::Key_Down, 7);
             TurnFrames(form, view, 9);
         }},
        {"fighter-turning-after-the-track-bar-moved", true,
         [](ViewWindow& form, ViewState& view, OptDocument& document) {
             Press(form, Qt::Key_Down, 5);
             Press(form, Qt::Key_Left);
             SetSpinStepFromSlider(view, 1234);
             TurnFrames(form, view, 11);
             Press(form, Qt::Key_PageUp, 2);
             // Mesh 2's descriptor chosen: mesh 2 red, its box shown.
             ASSERT_TRUE(ChooseBlock(form, view, document, NodeOf(document, 25, 2)));
             form.Redraw();
         }},
        {"fighter-hardpoint-level-two", true,
         [](ViewWindow& form, ViewState& view, OptDocument& document) {
             Press(form, Qt::Key_Up, 3);
             ASSERT_TRUE(ChooseBlock(form, view, document, NodeOf(document, 22, 0)));
             form.Selection().ShowLod = 2;
             form.Redraw();
         }},
    };
}

QString FramesFolder() {
    return QStringLiteral(VEXLOR_SOURCE_DIR "/tests/view/frames");
}

// Pixels that differ, and the first of them.
struct Difference {
    int64_t pixels = 0;
    QPoint first;
};
Difference Compare(const QImage& a, const QImage& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y) && d.pixels++ == 0) d.first = QPoint(x, y);
        }
    }
    return d;
}

using PinnedFrames = ShownView;

TEST_F(PinnedFrames, DesignedKeysAndTurningGiveTheRecordedFrames) {
    const bool record = qEnvironmentVariableIntValue("VEXLOR_RECORD_FRAMES") == 1;
    if (record) QDir().mkpath(FramesFolder());
    for (const PinnedCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        // Every case starts from the start view and the start spin step.
        view.AngleX = view.AngleY = view.AngleZ = 0;
        view.Scale = 1;
        view.PanX = view.PanY = 0;
        view.SpinStep = 2.0f;
        Load(c.fighter ? vexlor::testing::BuildFighter() : TwoMeshModel().bytes);
        c.steps(form, view, document);
        const QImage frame = form.GrabFrame();
        const QString file = FramesFolder() + "/" + QString::fromStdString(c.name) + ".png";
        if (record) {
            ASSERT_TRUE(frame.save(file));
            continue;
        }
        const QImage expected(file);
        ASSERT_FALSE(expected.isNull()) << "no recorded frame " << file.toStdString();
        ASSERT_EQ(frame.size(), expected.size());
        const Difference d = Compare(frame, expected.convertToFormat(QImage::Format_RGB32));
        if (d.pixels != 0) {
            frame.save(QCoreApplication::applicationDirPath() + "/pinned-" +
                       QString::fromStdString(c.name) + ".png");
        }
        EXPECT_EQ(d.pixels, 0) << "first at " << d.first.x() << "," << d.first.y();

        // The off-screen frame renderer draws the same frame from the same view.
        const ViewSelection& shown = form.Selection();
        PictureRequest request;
        request.Size = frame.size();
        request.View = CameraOf(view);
        request.Box = ViewBoxOf(view);
        request.Scene = {Faces(),
                         shown.CurrentMesh,
                         shown.ShowLod,
                         shown.Box ? &*shown.Box : nullptr,
                         shown.Hardpoint ? &*shown.Hardpoint : nullptr,
                         {},
                         0};
        const Expected<Picture> picture = RenderPicture(request);
        ASSERT_TRUE(picture.Ok()) << picture.Message();
        const Difference offscreen = Compare(picture->Image, frame);
        EXPECT_EQ(offscreen.pixels, 0)
            << "off the screen, first at " << offscreen.first.x() << "," << offscreen.first.y();
    }
}

// The thumbnails' software wireframe beside OpenGL's frame of the same faces, box and camera: each
// edge pixel of either has a pixel of its colour within one pixel in the other.
TEST(SoftwareWireframe, DrawsTheFramesEdgesInTheirColoursWithinAPixel) {
    OptDocument document;
    document.OpenBytes(vexlor::testing::BuildFighter(), "fighter.opt");
    const std::span<const DrawFace> faces(document.Model().DrawFaces);
    for (const QSize size : {QSize(128, 128), QSize(457, 417)}) {
        SCOPED_TRACE(size.width());
        WireframeFrame frame;
        ASSERT_TRUE(PreviewFrame(faces, 1, size, frame));
        const QImage drawn = DrawWireframeImage(faces, frame);
        PictureRequest request;
        request.Size = size;
        request.View = frame.View;
        request.Box = frame.Box;
        request.Scene.Faces = faces;
        request.Scene.ShowLod = 1;
        const Expected<Picture> picture = RenderPicture(request);
        ASSERT_TRUE(picture.Ok()) << picture.Message();
        const auto unmatched = [](const QImage& from, const QImage& in) {
            int edges = 0, missing = 0;
            for (int y = 0; y < from.height(); ++y) {
                for (int x = 0; x < from.width(); ++x) {
                    const Hue hue = HueOf(from.pixel(x, y));
                    if (hue == Hue::Black) continue;
                    ++edges;
                    bool found = false;
                    for (int dy = -1; dy <= 1 && !found; ++dy) {
                        for (int dx = -1; dx <= 1 && !found; ++dx)
                            found =
                                in.valid(x + dx, y + dy) && HueOf(in.pixel(x + dx, y + dy)) == hue;
                    }
                    missing += found ? 0 : 1;
                }
            }
            EXPECT_GT(edges, 100);
            return double(missing) / std::max(edges, 1);
        };
        // Where lines cross, the one drawn last may differ by the pixel rounding of each.
        EXPECT_LT(unmatched(drawn, picture->Image), 0.005);
        EXPECT_LT(unmatched(picture->Image, drawn), 0.005);
    }
}

}  // namespace
}  // namespace vexlor::view::testing
