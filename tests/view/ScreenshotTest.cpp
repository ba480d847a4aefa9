// optvexlor FILE --screenshot OUT.png run as a process, as a user or a script runs it, on the
// samples and on built files, with the picture read back: the frame the view shows after an
// open, preset views with the model fitted, the shaded mode, the level of detail, other sizes;
// every kind of bad input ending with status 2, one line on standard error and no picture, and a
// file that gives no picture (no faces, no OPT file) with status 1.
// optvexlor --thumbnail IN OUT SIZE run the way file managers run it, with no display at all.
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>
#include <limits>

#include "TempFolder.h"
#include "ViewTestSupport.h"
#include "samples/OptBuilder.h"
#include "view/ViewFit.h"

namespace vexlor::view::testing {
namespace {

namespace fs = std::filesystem;
const QString kSamples = QStringLiteral(VEXLOR_SOURCE_DIR "/samples");
const QString kFrames = QStringLiteral(VEXLOR_SOURCE_DIR "/tests/view/frames");

QRect Drawn(const QImage& picture) {
    return PixelsWhere(picture, [](QRgb c) { return HueOf(c) != Hue::Black; });
}

class Screenshot : public ::testing::Test {
  protected:
    Screenshot() {
        dir_ = vexlor::testing::TempFolderFor(
            "shot-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "runtime");
        fs::permissions(dir_ / "runtime", fs::perms::owner_all);
    }
    ~Screenshot() override { fs::remove_all(dir_); }

    QString PathOf(const std::string& name) const {
        return QString::fromStdString((dir_ / name).string());
    }
    QString Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        vexlor::testing::WriteFile((dir_ / name).string(), bytes);
        return PathOf(name);
    }

    struct Run {
        int status = -1;
        QStringList errors;  // the lines of standard error
        QImage picture;      // RGB32; null when none was written
    };
    // optvexlor with these arguments; the picture is read from `out`.
    Run Take(const QStringList& arguments, const QString& out,
             const QStringList& unset = {}) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Qt warns on standard error about a missing runtime folder; the program's own lines
        // are what is tested.
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), PathOf("runtime"));
        for (const QString& name : unset)
            environment.remove(name);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(OPTVEXLOR_BINARY), arguments);
        Run run;
        if (!process.waitForFinished(60'000)) {
            ADD_FAILURE() << "optvexlor did not end";
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        run.errors = errors.split(u'\n', Qt::SkipEmptyParts);
        if (!out.isEmpty() && QFileInfo::exists(out))
            run.picture = QImage(out).convertToFormat(QImage::Format_RGB32);
        return run;
    }
    Run Shot(const QString& file, const QStringList& options = {}) const {
        const QString out = PathOf("shot.png");
        QFile::remove(out);
        return Take(QStringList{file, QStringLiteral("--screenshot"), out} + options, out);
    }

    fs::path dir_;
};

TEST_F(Screenshot, WithoutOptionsItIsTheFrameTheViewShowsAfterAnOpen) {
    const struct {
        QString file;
        const char* frame;
    } cases[] = {{kSamples + "/fighter.opt", "fighter-at-rest.png"},
                 {Write("two.opt", TwoMeshModel().bytes), "two-mesh-at-rest.png"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        const Run run = Shot(c.file);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.errors.isEmpty()) << run.errors.join(u'\n').toStdString();
        const QImage pinned = QImage(kFrames + "/" + c.frame).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(pinned.isNull());
        EXPECT_EQ(run.picture, pinned);
    }
}

TEST_F(Screenshot, PresetViewsShowTheirSideWithTheModelFittedWithAMargin) {
    const QString box = Write("box.opt", BoxModel());
    const auto shape = [&](const char* view) {
        const Run run = Shot(box, {"--view", view, "--size", "800x400"});
        EXPECT_EQ(run.status, 0) << view;
        EXPECT_EQ(run.picture.size(), QSize(800, 400)) << view;
        return Drawn(run.picture);
    };
    // From the top the box is 200 across and 600 up, and reaches from the top margin to the
    // bottom one; from the right its length lies across, from the front its width.
    const QRect top = shape("top");
    EXPECT_NEAR(double(top.height()) / top.width(), 3.0, 0.1);
    EXPECT_NEAR(top.top(), 400 * kFitMargin, 3);
    EXPECT_NEAR(top.bottom(), 400 * (1 - kFitMargin), 3);
    EXPECT_NEAR(top.center().x(), 400, 2);
    const QRect right = shape("right");
    EXPECT_NEAR(double(right.width()) / right.height(), 6.0, 0.25);
    const QRect front = shape("front");
    EXPECT_NEAR(double(front.width()) / front.height(), 2.0, 0.1);
    // Iso, the fighter: everything inside the margin, touching it across or up.
    const Run iso = Shot(kSamples + "/fighter.opt", {"--view=iso", "--size=640x480"});
    const QRect fighter = Drawn(iso.picture);
    const QRect inside = QRect(0, 0, 640, 480).adjusted(31, 23, -31, -23);
    EXPECT_TRUE(inside.contains(fighter));
    EXPECT_TRUE(fighter.width() >= 640 * 0.9 - 4 || fighter.height() >= 480 * 0.9 - 4);
}

TEST_F(Screenshot, ShadedFillsTheFacesWhereTheWireframeShowsOnlyEdges) {
    const QString two = Write("two.opt", TwoMeshModel().bytes);
    const QPoint insideLeft(ColumnOf(-200), RowOf(0)), insideRight(ColumnOf(200), RowOf(0));
    const Run wire = Shot(two);
    EXPECT_EQ(HueOf(wire.picture.pixel(insideLeft)), Hue::Black);
    const Run shaded = Shot(two, {"--shaded"});
    EXPECT_EQ(shaded.status, 0);
    EXPECT_EQ(HueOf(shaded.picture.pixel(insideLeft)), Hue::Red);
    EXPECT_EQ(HueOf(shaded.picture.pixel(insideRight)), Hue::Cyan);
    EXPECT_EQ(HueOf(shaded.picture.pixel(ColumnOf(0), RowOf(0))), Hue::Black);
}

TEST_F(Screenshot, TheLevelOfDetailChoosesTheFacesDrawn) {
    const QString fighter = kSamples + "/fighter.opt";
    const Run one = Shot(fighter), three = Shot(fighter, {"--lod", "3"}),
              all = Shot(fighter, {"--lod", "0"});
    EXPECT_EQ(one.picture, Shot(fighter, {"--lod", "1"}).picture);
    EXPECT_NE(three.picture, one.picture);
    EXPECT_NE(all.picture, one.picture);
}

TEST_F(Screenshot, OtherSizesKeepTheModelsProportions) {
    const QString two = Write("two.opt", TwoMeshModel().bytes);
    for (const char* size : {"900x300", "200x700", "1x1"}) {
        const Run run = Shot(two, {"--size", size});
        EXPECT_EQ(run.status, 0) << size;
        const QStringList sides = QString::fromLatin1(size).split(u'x');
        EXPECT_EQ(run.picture.size(), QSize(sides[0].toInt(), sides[1].toInt())) << size;
        if (run.picture.width() < 100) continue;
        // Each mesh is a 200 x 200 square.
        const QRect red = PixelsOf(run.picture, Hue::Red);
        EXPECT_NEAR(red.width(), red.height(), 2) << size;
    }
}

// Bad coordinates still give a picture; a file without faces or no OPT file at all gives none
// (a blank picture would pass for a model's): status 1 and one line, as --thumbnail ends.
TEST_F(Screenshot, BadCoordinatesGiveAPictureAndFilesWithoutFacesOrNoOptFileNone) {
    OptBuilder empty(0);
    empty.SetMeshes({});
    OptBuilder bad(0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    bad.SetMeshes({AddSquareMesh(bad, {{nan, 0, 0}, {inf, 1, 0}, {1, -inf, 0}, {0, 1, nan}}),
                   AddSquareMesh(bad, Square(1e30f, -1e30f, 3e38f, 3e38f))});
    const QString text = PathOf("notes.opt");
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("these are notes, not a model\n");
    }
    const Run drawn = Shot(Write("bad.opt", bad.Build()), {"--shaded", "--view", "iso"});
    EXPECT_EQ(drawn.status, 0);
    EXPECT_EQ(drawn.picture.size(), QSize(457, 417));
    EXPECT_TRUE(drawn.errors.isEmpty()) << drawn.errors.join(u'\n').toStdString();
    const QString png = Write("picture.png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0});
    for (const QString& file :
         {Write("empty.opt", empty.Build()), Write("zero.opt", {}), text, png}) {
        SCOPED_TRACE(file.toStdString());
        const Run run = Shot(file, {"--shaded", "--view", "iso"});
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.errors.size(), 1) << run.errors.join(u'\n').toStdString();
        EXPECT_TRUE(run.errors[0].startsWith("optvexlor: No picture of " + file + ": "))
            << run.errors[0].toStdString();
        EXPECT_TRUE(run.picture.isNull());
    }
}

TEST_F(Screenshot, BadInputEndsWithStatusTwoOneLineAndNoPicture) {
    const QString two = Write("two.opt", TwoMeshModel().bytes);
    const QString out = PathOf("out.png");
    // An existing picture is replaced only by a complete one.
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const struct {
        QStringList arguments;
        const char* message;  // the start of the line
    } cases[] = {
        {{PathOf("missing.opt"), "--screenshot", out}, "Cannot open file "},
        {{"--screenshot", out}, "--screenshot needs the OPT file to draw"},
        {{two, two, "--screenshot", out}, "--screenshot draws one file; 2 were given"},
        {{two, "--screenshot"}, "Missing value after '--screenshot'."},
        {{two, "--screenshot", out, "--size", "0x10"}, "--size must be WIDTHxHEIGHT"},
        {{two, "--screenshot", out, "--size", "640"}, "--size must be WIDTHxHEIGHT"},
        {{two, "--screenshot", out, "--size", "-4x3"}, "--size must be WIDTHxHEIGHT"},
        {{two, "--screenshot", out, "--size", "100000x100000"},
         "cannot draw the picture: a "
         "picture can be at most "},
        {{two, "--screenshot", out, "--lod", "256"}, "--lod must be 0 (every level)"},
        {{two, "--screenshot", out, "--lod", "one"}, "--lod must be 0 (every level)"},
        {{two, "--screenshot", out, "--lod", "2"}, "--lod 2: the model has 1 level of detail"},
        {{two, "--screenshot", out, "--view", "diagonal"}, "--view must be front, back, right"},
        {{two, "--screenshot", PathOf("no/such/folder/x.png")}, "Cannot write "},
        {{two, "--screenshot", PathOf("")}, "Cannot write "},
        {{two, "--screenshot", two}, "Cannot write "},  // the file drawn: kept
        {{two, "--screenshot", out, "--frobnicate"}, "Unknown option 'frobnicate'."},
        {{two, "--size", "640x480"}, "--size goes with --screenshot"},
        {{two, "--shaded"}, "--shaded goes with --screenshot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Run run = Take(c.arguments, {});
        EXPECT_EQ(run.status, 2);
        ASSERT_EQ(run.errors.size(), 1) << run.errors.join(u'\n').toStdString();
        EXPECT_TRUE(run.errors[0].startsWith(QStringLiteral("optvexlor: ") + c.message))
            << run.errors[0].toStdString();
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "old");
        EXPECT_FALSE(QFileInfo::exists(PathOf("no")));
        EXPECT_EQ(QFileInfo(two).size(), static_cast<qint64>(TwoMeshModel().bytes.size()));
    }
    // Without a display the program says so rather than letting Qt end it.
    const Run blind =
        Take({two, "--screenshot", out}, {}, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    EXPECT_EQ(blind.status, 2);
    EXPECT_EQ(blind.errors,
              QStringList{"optvexlor: --screenshot needs an X display (run it under xvfb-run)"});
}

// The thumbnailer's runs: no DISPLAY, no Wayland, no platform chosen.
const QStringList kNoDisplay{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

// --help and --version need no display, even with the X platform asked for.
TEST_F(Screenshot, HelpAndVersionNeedNoDisplay) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : kNoDisplay)
        environment.remove(name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    for (const QString option : {"--version", "--help", "-h"}) {
        SCOPED_TRACE(option.toStdString());
        process.start(QStringLiteral(OPTVEXLOR_BINARY), {option});
        ASSERT_TRUE(process.waitForFinished(60'000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        EXPECT_TRUE(out.startsWith(option == "--version" ? "optvexlor " : "Usage: "))
            << out.toStdString();
        EXPECT_EQ(option == "--version", !out.contains("--screenshot")) << out.toStdString();
    }
}

TEST_F(Screenshot, ThumbnailWithoutADisplayIsThePreviewFramedInTheViewsColours) {
    const QString out = PathOf("thumb.png");
    const Run run = Take({"--thumbnail", kSamples + "/fighter.opt", out, "128"}, out, kNoDisplay);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.join(u'\n').toStdString();
    ASSERT_EQ(run.picture.size(), QSize(128, 128));
    // Mesh 0 red, the other meshes cyan, on black, nothing else.
    EXPECT_FALSE(PixelsOf(run.picture, Hue::Red).isEmpty());
    EXPECT_FALSE(PixelsOf(run.picture, Hue::Cyan).isEmpty());
    EXPECT_TRUE(PixelsOf(run.picture, Hue::Other).isEmpty());
    // Fitted: the model fills the picture but for the margin on its longer side.
    const QRect drawn = Drawn(run.picture);
    EXPECT_GE(std::max(drawn.width(), drawn.height()), 110)
        << drawn.width() << "x" << drawn.height();
    EXPECT_TRUE(QRect(2, 2, 124, 124).contains(drawn));
}

TEST_F(Screenshot, ThumbnailOfABrokenOrHugeFileEndsWithStatusOneAndNoPicture) {
    const QString out = PathOf("thumb.png");
    const QString empty = Write("empty.opt", {});
    const QString png = Write("picture.opt", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0});
    const QString model = Write("model.opt", TwoMeshModel().bytes);
    const QString huge = PathOf("huge.opt");
    fs::resize_file(Write("huge.opt", TwoMeshModel().bytes).toStdString(), 200u << 20);
    const struct {
        QStringList arguments;
        int status;
        const char* message;  // the start of the line
    } cases[] = {
        {{"--thumbnail", empty, out, "128"}, 1, "No thumbnail of "},
        {{"--thumbnail", png, out, "128"}, 1, "No thumbnail of "},
        {{"--thumbnail", huge, out, "128"}, 1, "No thumbnail of "},
        {{"--thumbnail", PathOf("missing.opt"), out, "128"}, 1, "Cannot open file "},
        {{"--thumbnail", kSamples + "/fighter.opt", PathOf("no/such/x.png"), "128"}, 1, "Cannot "},
        {{"--thumbnail", kSamples + "/fighter.opt", out, "0"}, 2, "--thumbnail's SIZE must be"},
        {{"--thumbnail", kSamples + "/fighter.opt", out}, 2, "--thumbnail takes IN OUT SIZE"},
        {{"--thumbnail", model, model, "128"}, 2, "Cannot write "},  // over its input: refused
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Run run = Take(c.arguments, out, kNoDisplay);
        EXPECT_EQ(run.status, c.status);
        ASSERT_EQ(run.errors.size(), 1) << run.errors.join(u'\n').toStdString();
        EXPECT_TRUE(run.errors[0].startsWith(QStringLiteral("optvexlor: ") + c.message))
            << run.errors[0].toStdString();
        EXPECT_TRUE(run.picture.isNull());
        EXPECT_EQ(QFileInfo(model).size(), static_cast<qint64>(TwoMeshModel().bytes.size()));
    }
    const Run misplaced = Take({kSamples + "/fighter.opt", "--thumbnail", out}, out);
    EXPECT_EQ(misplaced.status, 2);
    EXPECT_EQ(misplaced.errors,
              QStringList{"optvexlor: --thumbnail comes first: optvexlor --thumbnail IN OUT SIZE"});
    EXPECT_TRUE(misplaced.picture.isNull());
}

}  // namespace
}  // namespace vexlor::view::testing
