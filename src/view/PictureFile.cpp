// Writing pictures through a file saved only when complete, as the saves write theirs.
#include "view/PictureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageWriter>

#include "reader/AtomicFile.h"

namespace vexlor::view {

std::string WritePng(const QImage& image, const QString& path) {
    if (image.isNull()) return "there is no picture to write";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) return writer.errorString().toStdString();
    AtomicFile file;
    if (!file.Create(QFile::encodeName(path).toStdString())) return file.Reason();
    file.Write(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (file.Failed() || !file.Commit()) return file.Reason();
    return {};
}

}  // namespace vexlor::view
