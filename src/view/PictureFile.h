// Pictures written as PNG files that appear only when complete: a failed write leaves no file and
// an existing file as it was.
#pragma once

#include <QImage>
#include <QString>
#include <string>

#include "reader/Result.h"

namespace vexlor::view {

// Writes `image` to `path` as PNG. A failure's reason says why.
Result WritePng(const QImage& image, const QString& path);

}  // namespace vexlor::view
