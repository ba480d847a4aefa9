// Finding and writing entries of the thumbnail cache.
#include "desktop/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>

#include "desktop/PngText.h"
#include "reader/AtomicFile.h"
#include "reader/Version.h"

namespace vexlor::desktop {

namespace {

const QByteArray kUriKey = QByteArrayLiteral("Thumb::URI");
const QByteArray kMTimeKey = QByteArrayLiteral("Thumb::MTime");
// Larger entries are none of ours (a normal thumbnail is a few KB).
constexpr qint64 kLargestEntry = 4 << 20;

QString Digest(const QString& uri) {
    return QString::fromLatin1(
        QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString MTimeOf(const QString& path) {
    return QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch());
}

// Makes `folder` and those above it up to the cache's `root`, each open to the owner alone.
bool MakePrivateFolder(const QString& root, const QString& folder) {
    if (!QDir().mkpath(folder)) return false;
    bool made = true;
    for (QString step = folder; step.startsWith(root); step = QFileInfo(step).path()) {
        made =
            QFile::setPermissions(step, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
            made;
        if (step == root) break;
    }
    return made;
}

}  // namespace

ThumbnailCache::ThumbnailCache(QString root) : root_(std::move(root)) {
    if (root_.isEmpty())
        root_ = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                QStringLiteral("/thumbnails");
}

QString ThumbnailCache::UriOf(const QString& path) {
    return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

QString ThumbnailCache::EntryPath(const QString& path) const {
    return root_ + QStringLiteral("/normal/") + Digest(UriOf(path)) + QStringLiteral(".png");
}

QString ThumbnailCache::FailureEntryPath(const QString& path) const {
    return root_ + QStringLiteral("/fail/optvexlor-" VEXLOR_VERSION "/") + Digest(UriOf(path)) +
           QStringLiteral(".png");
}

ThumbnailCache::Entry ThumbnailCache::Find(const QString& path) const {
    const QByteArray uri = UriOf(path).toLatin1(), mtime = MTimeOf(path).toLatin1();
    for (const auto& [entry, kind] : {std::pair{EntryPath(path), Found::Picture},
                                      std::pair{FailureEntryPath(path), Found::Failure}}) {
        QFile file(entry);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestEntry) continue;
        const QByteArray png = file.readAll();
        const PngTextChunks texts = PngText(png);
        const auto has = [&](const QByteArray& key, const QByteArray& value) {
            return std::find(texts.begin(), texts.end(), std::pair{key, value}) != texts.end();
        };
        if (!has(kUriKey, uri) || !has(kMTimeKey, mtime)) continue;
        if (kind == Found::Failure) return {Found::Failure, {}};
        QImage picture = QImage::fromData(png, "png");
        if (!picture.isNull()) return {Found::Picture, std::move(picture)};
    }
    return {};
}

Result ThumbnailCache::Store(const QString& path, const QImage& picture) const {
    return Write(path, EntryPath(path), picture);
}

Result ThumbnailCache::StoreFailure(const QString& path) const {
    QImage dot(1, 1, QImage::Format_ARGB32);
    dot.fill(Qt::transparent);
    return Write(path, FailureEntryPath(path), dot);
}

Result ThumbnailCache::Write(const QString& path, const QString& entry,
                             const QImage& picture) const {
    const std::string target = QFile::encodeName(entry).toStdString();
    const QString folder = QFileInfo(entry).path();
    if (!MakePrivateFolder(root_, folder))
        return Result::Failure("Cannot create folder " + QFile::encodeName(folder).toStdString());
    const QByteArray png = PngWithText(
        picture,
        {{kUriKey, UriOf(path).toLatin1()},
         {kMTimeKey, MTimeOf(path).toLatin1()},
         {QByteArrayLiteral("Software"), QByteArrayLiteral("OPT Vexlor " VEXLOR_VERSION)}});
    if (png.isEmpty())
        return Result::Failure("Cannot write file " + target, "the picture cannot be encoded");
    AtomicFile file;
    if (Result created = file.Create(target); !created.Ok()) return created;
    file.Write(png.constData(), static_cast<size_t>(png.size()));
    if (Result written = file.Commit(); !written.Ok()) return written;
    QFile::setPermissions(entry, QFile::ReadOwner | QFile::WriteOwner);
    return {};
}

}  // namespace vexlor::desktop
