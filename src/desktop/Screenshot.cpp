// Taking a screenshot of an OPT file.
#include "desktop/Screenshot.h"

#include <algorithm>

#include <QFile>
#include <QRegularExpression>

#include "reader/OptDocument.h"
#include "view/OffscreenPicture.h"
#include "view/PictureFile.h"

namespace vexlor::desktop {

namespace {

std::optional<int32_t> WholeNumber(const QString& text, int32_t lo, int32_t hi) {
    static const QRegularExpression kDigits(QStringLiteral("^[0-9]{1,9}$"));
    if (!kDigits.match(text).hasMatch()) return std::nullopt;
    const int value = text.toInt();
    if (value < lo || value > hi) return std::nullopt;
    return value;
}

}  // namespace

std::optional<QSize> ParsePictureSize(const QString& text) {
    const qsizetype x = text.indexOf(u'x');
    if (x < 0) return std::nullopt;
    const std::optional<int32_t> width = WholeNumber(text.left(x), 1, 999'999'999);
    const std::optional<int32_t> height = WholeNumber(text.mid(x + 1), 1, 999'999'999);
    if (!width || !height) return std::nullopt;
    return QSize(*width, *height);
}

std::optional<int32_t> ParseLevelOfDetail(const QString& text) {
    return WholeNumber(text, 0, 255);
}

Expected<ScreenshotOutcome> TakeScreenshot(const ScreenshotRequest& request) {
    OptDocument document;
    const std::string file = QFile::encodeName(request.File).toStdString();
    const Result opened = document.Open(file);
    if (!opened.Ok())
        return Result::Failure(opened.Message() +
                               (opened.Reason().empty() ? "" : ": " + opened.Reason()));
    // A blank picture of a file that is none would pass for the picture of a model.
    const ScreenshotOutcome noPicture{.NoPicture = true};
    if (!document.NotOptReason().empty())
        return {Result::Failure("No picture of " + file +
                                ": it does not look like an OPT file: " + document.NotOptReason()),
                noPicture};
    if (document.Model().DrawFaces.empty())
        return {Result::Failure("No picture of " + file + ": the model has no face to draw"),
                noPicture};
    // A level beyond the model's last would draw an empty picture, as if it were one.
    int32_t levels = 1;
    for (const DrawFace& face : document.Model().DrawFaces)
        levels = std::max<int32_t>(levels, face.Lod);
    if (request.Lod > levels)
        return Result::Failure(
            "--lod " + std::to_string(request.Lod) + ": the model has " +
            (levels == 1 ? std::string("1 level") : std::to_string(levels) + " levels") +
            " of detail");

    view::PictureRequest picture;
    picture.Size = request.Size;
    picture.Scene.Faces = std::span<const DrawFace>(document.Model().DrawFaces);
    picture.Scene.CurrentMesh = 0;
    picture.Scene.ShowLod = request.Lod;
    picture.Look.Shaded = request.Shaded;
    picture.Preset = request.Preset;
    picture.Fit = request.Preset.has_value();
    picture.KeepProportions = request.Size != QSize(view::kPanelWidth, view::kPanelHeight);
    const Expected<view::Picture> drawn = view::RenderPicture(picture);
    if (!drawn.Ok()) return Result::Failure("cannot draw the picture: " + drawn.Message());
    const Result written = view::WritePng(drawn->Image, request.Out);
    if (!written.Ok())
        return Result::Failure("Cannot write " + QFile::encodeName(request.Out).toStdString() +
                               ": " + written.Reason());
    return ScreenshotOutcome{};
}

}  // namespace vexlor::desktop
