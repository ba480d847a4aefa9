// Drawing a thumbnail of an OPT file.
#include "desktop/ModelThumbnail.h"

#include <QFile>
#include <QFileInfo>
#include <map>

#include "reader/OptDocument.h"
#include "view/PictureFile.h"
#include "view/WireframeImage.h"

namespace vexlor::desktop {

namespace {

std::string LocalName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Level 1, or the first coarser level with at most kThumbnailMostFaces faces; 0 for none.
int32_t LevelToDraw(const std::vector<DrawFace>& faces) {
    std::map<int32_t, int64_t> facesAtLevel;
    for (const DrawFace& face : faces)
        ++facesAtLevel[face.Lod];
    for (const auto& [level, count] : facesAtLevel) {
        if (level >= 1 && count <= kThumbnailMostFaces) return level;
    }
    return 0;
}

}  // namespace

Expected<QImage> DrawModelThumbnail(const QString& path, int side) {
    const std::string name = LocalName(path);
    if (side < 1 || side > kThumbnailMostSide)
        return Result::Failure("A thumbnail is 1 to " + std::to_string(kThumbnailMostSide) +
                               " pixels wide, not " + std::to_string(side));
    const QFileInfo file(path);
    if (file.exists() && file.size() > kThumbnailMostBytes)
        return Result::Failure(
            "No thumbnail of " + name,
            "the file's " + std::to_string(file.size() >> 20) + " MB are more than the " +
                std::to_string(kThumbnailMostBytes >> 20) + " MB a thumbnail reads");
    OptDocument document;
    // A well-formed file is read about once; a file whose slots share blocks over and over is
    // read at most four times over for a thumbnail, not the program's sixteen.
    document.SetWalkBudget({4, int64_t{1} << 16});
    if (const Result opened = document.OpenForPreview(name); !opened.Ok()) return opened;
    if (!document.NotOptReason().empty())
        return Result::Failure("No thumbnail of " + name,
                               "it does not look like an OPT file: " + document.NotOptReason());
    const std::vector<DrawFace>& faces = document.Model().DrawFaces;
    const int32_t level = LevelToDraw(faces);
    view::WireframeFrame frame;
    if (level == 0 && !faces.empty())
        return Result::Failure("No thumbnail of " + name, "every level of detail has more than " +
                                                              std::to_string(kThumbnailMostFaces) +
                                                              " faces");
    if (level == 0 || !view::PreviewFrame(faces, level, QSize(side, side), frame))
        return Result::Failure("No thumbnail of " + name, "the model has no face to draw");
    QImage image = view::DrawWireframeImage(faces, frame);
    if (image.isNull())
        return Result::Failure("No thumbnail of " + name, "its pixels cannot be held in memory");
    return image;
}

Result WriteModelThumbnail(const QString& in, const QString& out, int side) {
    const Expected<QImage> drawn = DrawModelThumbnail(in, side);
    if (!drawn.Ok()) return drawn.Status();
    return view::WritePng(drawn.Value(), out);
}

}  // namespace vexlor::desktop
