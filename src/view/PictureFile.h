// Pictures written as PNG files that appear only when complete: a failed write leaves no file and
// an existing file as it was.
#pragma once

#include <QImage>
#include <QString>
#include <string>

namespace vexlor::view {

// Writes `image` to `path` as PNG. Empty on success, else why it failed.
std::string WritePng(const QImage& image, const QString& path);

}  // namespace vexlor::view
