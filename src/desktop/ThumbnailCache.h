// The freedesktop thumbnail cache (the Thumbnail Managing Standard), shared with file managers:
// a 128 x 128 picture of a file is kept as $XDG_CACHE_HOME/thumbnails/normal/MD5.png (by default
// ~/.cache/thumbnails/normal/), MD5 the hex digest of the file's URI, with the PNG text chunks
// Thumb::URI and Thumb::MTime saying which file at which modification time it shows. A file that
// cannot be drawn gets an entry under fail/optvexlor-VERSION/ instead, so it is not tried again
// until it changes. Folders are made private (0700), entries 0600, each written whole or not at
// all. Safe to use from several threads at once.
#pragma once

#include <QImage>
#include <QString>

#include "reader/Result.h"

namespace vexlor::desktop {

// The side of a "normal" thumbnail.
inline constexpr int kNormalThumbnailSide = 128;

class ThumbnailCache {
  public:
    // $XDG_CACHE_HOME/thumbnails.
    ThumbnailCache() : ThumbnailCache(QString()) {}
    // `root`: the thumbnails folder; empty for $XDG_CACHE_HOME/thumbnails.
    explicit ThumbnailCache(QString root);

    // "file:///path/with%20escapes", as the standard keys entries.
    static QString UriOf(const QString& path);
    // Where the entry of `path` lies, whether or not it exists.
    QString EntryPath(const QString& path) const;
    QString FailureEntryPath(const QString& path) const;

    enum class Found { Nothing, Picture, Failure };
    struct Entry {
        Found Kind = Found::Nothing;
        QImage Picture;
    };
    // The entry that shows `path` as it is now: one for another modification time (or another
    // file) is as good as none.
    Entry Find(const QString& path) const;

    Result Store(const QString& path, const QImage& picture) const;
    Result StoreFailure(const QString& path) const;

  private:
    Result Write(const QString& path, const QString& entry, const QImage& picture) const;

    QString root_;
};

}  // namespace vexlor::desktop
