// Encoding a PNG with Qt and inserting tEXt chunks after its IHDR chunk; reading them back.
#include "desktop/PngText.h"

#include <QBuffer>
#include <QImageWriter>
#include <array>
#include <cstdint>

namespace vexlor::desktop {

namespace {

// The PNG signature (8 bytes) and the IHDR chunk (4 length, 4 type, 13 data, 4 CRC).
constexpr qsizetype kAfterHeader = 8 + 4 + 4 + 13 + 4;

uint32_t Crc32(const QByteArray& bytes) {
    static constexpr std::array<uint32_t, 256> kTable = [] {
        std::array<uint32_t, 256> table{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = kTable[(crc ^ static_cast<uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kSignatureSize = 8;

uint32_t BigEndianAt(const QByteArray& bytes, qsizetype at) {
    uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

void AppendBigEndian(QByteArray& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

QByteArray PngWithText(const QImage& image, const PngTextChunks& texts) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image) || png.size() < kAfterHeader) return {};
    QByteArray chunks;
    for (const auto& [key, value] : texts) {
        const QByteArray typeAndData = "tEXt" + key + '\0' + value;
        AppendBigEndian(chunks, static_cast<uint32_t>(typeAndData.size() - 4));
        chunks += typeAndData;
        AppendBigEndian(chunks, Crc32(typeAndData));
    }
    png.insert(kAfterHeader, chunks);
    return png;
}

PngTextChunks PngText(const QByteArray& png) {
    PngTextChunks texts;
    if (!png.startsWith(QByteArray(kSignature, kSignatureSize))) return texts;
    // Each chunk: 4 bytes of length, 4 of type, the data, 4 of CRC.
    for (qsizetype at = kSignatureSize; at + 12 <= png.size();) {
        const uint32_t length = BigEndianAt(png, at);
        if (length > static_cast<uint64_t>(png.size() - at - 12)) break;
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "IDAT" || type == "IEND") break;
        if (type == "tEXt") {
            const QByteArray data = png.mid(at + 8, length);
            const qsizetype zero = data.indexOf('\0');
            if (zero > 0) texts.emplace_back(data.left(zero), data.mid(zero + 1));
        }
        at += 12 + static_cast<qsizetype>(length);
    }
    return texts;
}

}  // namespace vexlor::desktop
