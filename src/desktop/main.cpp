// optvexlor: the desktop program. Creates its windows, opens a file named on the command line,
// and runs until the main window closes; with --screenshot it draws one picture of the file
// instead and ends without showing a window.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "reader/SanitizerOptions.h"

#include "desktop/BoxMessagePresenter.h"
#include "desktop/DesktopProgram.h"
#include "desktop/ModelThumbnail.h"
#include "desktop/QtFileDialogs.h"
#include "desktop/Screenshot.h"
#include "inspector/TreeImages.h"
#include "reader/NumberText.h"
#include "reader/SameFileRule.h"
#include "reader/TemporaryFiles.h"
#include "reader/Version.h"

namespace {

using namespace vexlor;

// Exit status of a usage error or a failed picture, with one line on standard error.
constexpr int kFailed = 2;
// Exit status of a file that gives no picture (no thumbnail, no screenshot), as thumbnailers
// report one.
constexpr int kNoPicture = 1;

int Fail(const QString& message) {
    std::fprintf(stderr, "optvexlor: %s\n", message.toLocal8Bit().constData());
    return kFailed;
}

// Qt ends the process when it finds no display; a picture asked for without one says so first.
bool AsksForScreenshotWithoutDisplay(int argc, char** argv) {
    bool screenshot = false;
    for (int i = 1; i < argc; ++i) {
        screenshot = screenshot || std::strcmp(argv[i], "--screenshot") == 0 ||
                     std::strncmp(argv[i], "--screenshot=", 13) == 0;
    }
    const auto value = [](const char* name) {
        const char* text = std::getenv(name);
        return std::string(text != nullptr ? text : "");
    };
    // Other platforms (offscreen, wayland, ...) are left to Qt to judge.
    const std::string platform = value("QT_QPA_PLATFORM");
    const bool x11 = platform.empty() || platform.starts_with("xcb");
    return screenshot && x11 && value("DISPLAY").empty() &&
           (!platform.empty() || value("WAYLAND_DISPLAY").empty());
}

struct Options {
    QCommandLineOption Help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and end.")};
    QCommandLineOption Version{QStringLiteral("version"),
                               QStringLiteral("Show the program's version and end.")};
    QCommandLineOption Screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Draw one picture of FILE into OUT.png and end, showing no window."),
        QStringLiteral("OUT.png")};
    QCommandLineOption Size{QStringLiteral("size"),
                            QStringLiteral("The picture's size in pixels (default 457x417, the "
                                           "view's panel)."),
                            QStringLiteral("WxH")};
    QCommandLineOption Lod{
        QStringLiteral("lod"),
        QStringLiteral("The level of detail drawn: 0 for all, else the level (default 1)."),
        QStringLiteral("N")};
    QCommandLineOption View{
        QStringLiteral("view"),
        QStringLiteral("A preset view with the model fitted into the picture: front, back, right, "
                       "left, top, bottom or iso (default: the start view)."),
        QStringLiteral("NAME")};
    QCommandLineOption Shaded{QStringLiteral("shaded"),
                              QStringLiteral("Shaded faces rather than the wireframe.")};
    // Taken before the application starts (see Thumbnail); listed here for --help.
    QCommandLineOption Thumbnail{
        QStringLiteral("thumbnail"),
        QStringLiteral("optvexlor --thumbnail IN OUT SIZE: draw a SIZE x SIZE thumbnail of IN "
                       "into OUT (PNG) and end; needs no display."),
        QStringLiteral("IN")};
};

// optvexlor --thumbnail IN OUT SIZE, as file managers call a thumbnailer: drawn in software
// before any application object exists, so that no display is needed or looked for.
int Thumbnail(int argc, char** argv) {
    if (argc != 5)
        return Fail(
            QStringLiteral("--thumbnail takes IN OUT SIZE: optvexlor --thumbnail "
                           "model.opt picture.png 128"));
    static const QRegularExpression kDigits(QStringLiteral("^[0-9]{1,4}$"));
    const QString sizeText = QString::fromLocal8Bit(argv[4]);
    const int side = kDigits.match(sizeText).hasMatch() ? sizeText.toInt() : 0;
    if (side < 1 || side > desktop::kThumbnailMostSide)
        return Fail(QStringLiteral("--thumbnail's SIZE must be 1 to %1 pixels, not \"%2\"")
                        .arg(desktop::kThumbnailMostSide)
                        .arg(sizeText));
    // The picture never replaces the model it is drawn from.
    if (const Result distinct = RefuseSameFile(argv[2], argv[3]); !distinct.Ok())
        return Fail(QString::fromLocal8Bit(distinct.Message().c_str()));
    const Result written =
        desktop::WriteModelThumbnail(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]), side);
    if (written.Ok()) return 0;
    std::fprintf(stderr, "optvexlor: %s%s%s\n", written.Message().c_str(),
                 written.Reason().empty() ? "" : ": ", written.Reason().c_str());
    return kNoPicture;
}

int Screenshot(const QCommandLineParser& parser, const Options& options) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Fail(
            files.isEmpty()
                ? QStringLiteral("--screenshot needs the OPT file to draw")
                : QStringLiteral("--screenshot draws one file; %1 were given").arg(files.size()));
    desktop::ScreenshotRequest request;
    request.File = files.front();
    request.Out = parser.value(options.Screenshot);
    if (request.Out.isEmpty()) return Fail(QStringLiteral("--screenshot needs the picture's name"));
    if (const Result distinct = RefuseSameFile(QFile::encodeName(request.File).toStdString(),
                                               QFile::encodeName(request.Out).toStdString());
        !distinct.Ok())
        return Fail(QString::fromLocal8Bit(distinct.Message().c_str()));
    if (parser.isSet(options.Size)) {
        const QString text = parser.value(options.Size);
        const std::optional<QSize> size = desktop::ParsePictureSize(text);
        if (!size)
            return Fail(QStringLiteral("--size must be WIDTHxHEIGHT in whole pixels, as 1024x768, "
                                       "not \"%1\"")
                            .arg(text));
        request.Size = *size;
    }
    if (parser.isSet(options.Lod)) {
        const QString text = parser.value(options.Lod);
        const std::optional<int32_t> lod = desktop::ParseLevelOfDetail(text);
        if (!lod)
            return Fail(QStringLiteral("--lod must be 0 (every level) or a level from 1 to 255, "
                                       "not \"%1\"")
                            .arg(text));
        request.Lod = *lod;
    }
    if (parser.isSet(options.View)) {
        const QString text = parser.value(options.View);
        request.Preset = view::PresetViewNamed(text.toStdString());
        if (!request.Preset)
            return Fail(QStringLiteral("--view must be front, back, right, left, top, bottom or "
                                       "iso, not \"%1\"")
                            .arg(text));
    }
    request.Shaded = parser.isSet(options.Shaded);
    const Expected<desktop::ScreenshotOutcome> taken = desktop::TakeScreenshot(request);
    if (taken.Ok()) return 0;
    Fail(QString::fromLocal8Bit(taken.Message().c_str()));
    return taken->NoPicture ? kNoPicture : kFailed;
}

#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return VEXLOR_ASAN_DEFAULT_OPTIONS;
}
#endif

// Under the leak sanitizer, leaks are looked for while the application object still lives: its
// teardown unloads the OpenGL driver, whose own allocations would then be reported without the
// library names that the sanitizer's suppressions go by.
void CheckLeaksBeforeTeardown() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
}

void DefineCommandLine(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("OPT Vexlor, the inspector of OPT model files."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The OPT file to open."),
                                 QStringLiteral("[FILE]"));
    parser.addOptions({options.Help, options.Version, options.Screenshot, options.Size, options.Lod,
                       options.View, options.Shaded, options.Thumbnail});
}

// --help or --version, answered when the parsed command line asks for one; nothing otherwise.
std::optional<int> HelpOrVersion(const QCommandLineParser& parser, const Options& options) {
    if (parser.isSet(options.Help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(options.Version)) {
        std::puts("optvexlor " VEXLOR_VERSION);
        return 0;
    }
    return std::nullopt;
}

// --help and --version need no display: they are answered before any window system is looked
// for, when the arguments as given parse (Qt's own options, such as -platform, do not; those go
// the way of every run).
std::optional<int> HelpOrVersionWithoutWindows(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    const Options options;
    DefineCommandLine(parser, options);
    if (!parser.parse(arguments) || (!parser.isSet(options.Help) && !parser.isSet(options.Version)))
        return std::nullopt;
    // The help names the program from the application object, which needs no display.
    int count = argc;
    const QCoreApplication application(count, argv);
    return HelpOrVersion(parser, options);
}

int Run(const NumberText& numbers) {
    QApplication::setApplicationName(QStringLiteral("OPT Vexlor"));

    // Qt has taken its own options (-platform, -display, ...) out of the arguments.
    QCommandLineParser parser;
    const Options options;
    DefineCommandLine(parser, options);
    if (!parser.parse(QApplication::arguments())) return Fail(parser.errorText());
    if (const std::optional<int> answered = HelpOrVersion(parser, options)) return *answered;
    if (parser.isSet(options.Thumbnail))
        return Fail(QStringLiteral("--thumbnail comes first: optvexlor --thumbnail IN OUT SIZE"));
    if (parser.isSet(options.Screenshot)) return Screenshot(parser, options);
    for (const QCommandLineOption* pictureOnly :
         {&options.Size, &options.Lod, &options.View, &options.Shaded}) {
        if (parser.isSet(*pictureOnly))
            return Fail(QStringLiteral("--%1 goes with --screenshot").arg(pictureOnly->names()[0]));
    }

    QApplication::setWindowIcon(inspector::ProgramIcon());
    // The program ends with the main window, not with the last window.
    QApplication::setQuitOnLastWindowClosed(false);

    desktop::BoxMessagePresenter messages;
    desktop::QtFileDialogs dialogs;
    // The user's settings: ~/.config/optvexlor/optvexlor.conf.
    QSettings settings(QStringLiteral("optvexlor"), QStringLiteral("optvexlor"));
    desktop::DesktopProgram program(numbers, messages, dialogs, {}, &settings);
    messages.SetParent(&program.Main());
    dialogs.SetParent(&program.Main());
    program.Show();
    if (!parser.positionalArguments().isEmpty()) {
        const QString path = parser.positionalArguments().front();
        QTimer::singleShot(0, &program.Main(), [&program, path] { program.Main().OpenFile(path); });
    }
    const int status = QApplication::exec();
    program.ViewLink().StopRotation();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = HelpOrVersionWithoutWindows(argc, argv))
        return *answered;
    if (AsksForScreenshotWithoutDisplay(argc, argv))
        return Fail(QStringLiteral("--screenshot needs an X display (run it under xvfb-run)"));
    // Read before Qt sets the process locale; the report never consults the process locale.
    const NumberText numbers(DecimalSeparatorFromEnvironment());
    // An interrupted save, export or picture leaves no temporary file.
    TemporaryFiles::RemoveOnSignals();
    if (argc > 1 && std::strcmp(argv[1], "--thumbnail") == 0) return Thumbnail(argc, argv);
    QApplication application(argc, argv);
    const int status = Run(numbers);
    CheckLeaksBeforeTeardown();
    return status;
}
