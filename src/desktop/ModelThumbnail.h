// Thumbnails of OPT files: the browser preview's frame (its start view fitted to the model, mesh
// 0 red, the others cyan) drawn in software, so that it needs no display and no OpenGL and can be
// drawn on several threads at once. optvexlor --thumbnail and the browser's grid draw them.
//
// The work is capped so that a thumbnail takes well under two seconds: a file larger than
// kThumbnailMostBytes is not read, its walk reads at most four times its bytes, and a model whose
// level 1 has more than kThumbnailMostFaces faces is drawn at the first coarser level that has at
// most that many.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "reader/Result.h"

namespace vexlor::desktop {

inline constexpr int64_t kThumbnailMostBytes = int64_t{128} << 20;
inline constexpr int64_t kThumbnailMostFaces = 500'000;
// The side of the largest thumbnail drawn (the thumbnail convention's largest is 1024).
inline constexpr int kThumbnailMostSide = 4096;

// A `side` x `side` picture of the model in `path`, or why there is none (not readable, not an
// OPT file, too large, no face to draw).
Expected<QImage> DrawModelThumbnail(const QString& path, int side);

// optvexlor --thumbnail IN OUT SIZE: the thumbnail written as a PNG file that appears only when
// it was drawn and written whole.
Result WriteModelThumbnail(const QString& in, const QString& out, int side);

}  // namespace vexlor::desktop
