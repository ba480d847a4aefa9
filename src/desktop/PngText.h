// PNG files with text chunks: tEXt chunks (Latin-1 key and value, uncompressed) put after the
// image header, as the thumbnail standard reads them, and read back. Qt's writer would compress
// long values into zTXt chunks, and its reader cuts keys at their first colon ("Thumb::URI").
#pragma once

#include <QByteArray>
#include <QImage>
#include <utility>
#include <vector>

namespace vexlor::desktop {

using PngTextChunks = std::vector<std::pair<QByteArray, QByteArray>>;

// The PNG bytes of `image` with `texts`; empty when the image cannot be encoded.
QByteArray PngWithText(const QImage& image, const PngTextChunks& texts);
// The tEXt chunks of the PNG file `png` that come before its image data; none when it is no PNG
// file or a chunk runs past its end.
PngTextChunks PngText(const QByteArray& png);

}  // namespace vexlor::desktop
