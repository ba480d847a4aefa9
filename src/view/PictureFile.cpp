// Writing pictures through a file saved only when complete.
#include "PictureFile.h"

#include <QImageWriter>
#include <QSaveFile>

namespace vexlor::view {

std::string WritePng(const QImage& image, const QString& path) {
    if (image.isNull()) return "there is no picture to write";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return writer.errorString().toStdString();
    }
    if (!file.commit()) return file.errorString().toStdString();
    return {};
}

}  // namespace vexlor::view
