// Writing pictures through a file saved only when complete, as the saves write theirs.
#include "view/PictureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageWriter>

#include "reader/AtomicFile.h"

namespace vexlor::view {

Result WritePng(const QImage& image, const QString& path) {
    const std::string localPath = QFile::encodeName(path).toStdString();
    if (image.isNull())
        return Result::Failure("Cannot write file " + localPath, "there is no picture to write");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return Result::Failure("Cannot write file " + localPath,
                               writer.errorString().toStdString());
    AtomicFile file;
    if (Result created = file.Create(localPath); !created.Ok()) return created;
    file.Write(bytes.constData(), static_cast<size_t>(bytes.size()));
    return file.Commit();
}

}  // namespace vexlor::view
