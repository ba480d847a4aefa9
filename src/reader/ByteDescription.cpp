// Naming a byte after its field and decoding the value it belongs to.
#include "reader/ByteDescription.h"

#include <algorithm>

#include "reader/FormatTables.h"

namespace vexlor {

namespace {

constexpr std::string_view kMiddleDot = "\xC2\xB7";  // how the report list shows a zero byte

void AppendHex(std::string& out, uint8_t byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
}

std::string BytesText(const OptStream& stream, int64_t start, int64_t size) {
    std::string text = "bytes";
    for (int64_t i = 0; i < size; ++i) {
        text += ' ';
        AppendHex(text, stream.ByteAt(start + i));
    }
    return text;
}

std::string RawValues(const OptStream& stream, int64_t start, const NumberText& numbers) {
    std::string text = "int32 " + NumberText::IntText(stream.Int32At(start));
    text += ", single " + numbers.FloatText(stream.SingleAt(start));
    return text;
}

std::string FieldName(const LayoutSpan& span, int64_t element, int64_t part) {
    std::string name;
    if (!span.ElementName.empty()) {
        name += span.ElementName;
        name += ' ';
        name += NumberText::IntText(span.FirstNumber + element);
    } else {
        name += span.Label;
    }
    if (part >= 0 && static_cast<size_t>(part) < span.Parts.size()) {
        name += span.ElementName.empty() ? " " : ", ";
        name += span.Parts[static_cast<size_t>(part)];
    }
    if (!span.ElementName.empty()) {
        name += " (";
        name += span.Label;
        name += ')';
    }
    return name;
}

}  // namespace

ByteDescription DescribeByte(const OptStream& stream, int64_t globalOffset,
                             const BlockLayout& layout, int64_t offset, const NumberText& numbers) {
    ByteDescription description;
    if (stream.BytesFrom(offset) <= 0) return description;
    const LayoutSpan* span = layout.SpanAt(offset);
    if (span == nullptr) {
        description.ValueStart = offset;
        description.ValueSize = std::min<int64_t>(format::kValueSize, stream.BytesFrom(offset));
        description.Value = description.ValueSize == format::kValueSize
                                ? RawValues(stream, offset, numbers)
                                : BytesText(stream, offset, description.ValueSize);
        return description;
    }

    const int64_t element = (offset - span->Origin) / span->Stride;
    const int64_t elementStart = span->Origin + element * span->Stride;
    const int64_t within = offset - elementStart;
    const bool whole = span->Value == ValueKind::kText || span->Value == ValueKind::kBytes;
    const int64_t part = whole ? -1 : within / format::kValueSize;
    description.Field = FieldName(*span, element, part);
    description.ValueStart = whole ? elementStart : elementStart + format::kValueSize * part;
    const int64_t wanted = whole ? span->ElementSize : format::kValueSize;
    description.ValueSize = std::min(wanted, stream.BytesFrom(description.ValueStart));
    if (description.ValueStart < 0) {
        // An element that starts before the file: only its bytes from position 0 on are there.
        description.ValueSize = std::min(description.ValueStart + wanted, stream.BytesFrom(0));
        description.ValueStart = 0;
    }

    const int64_t start = description.ValueStart;
    if (description.ValueSize < wanted && !whole) {
        description.Value = BytesText(stream, start, description.ValueSize) +
                            " (the value runs past the end of the file)";
        return description;
    }
    switch (span->Value) {
        case ValueKind::kInt32:
            description.Value = "int32 " + NumberText::IntText(stream.Int32At(start));
            break;
        case ValueKind::kSingle:
            description.Value = "single " + numbers.FloatText(stream.SingleAt(start));
            break;
        case ValueKind::kStoredOffset: {
            const int32_t stored = stream.Int32At(start);
            const int64_t target = int64_t{stored} - globalOffset;
            if (stored == 0 && span->Kind == FieldKind::kSlotTable) {
                description.Value = "stored 0: an empty slot";
                break;
            }
            description.Value = "stored " + NumberText::IntText(stored) + " -> file position " +
                                NumberText::IntText(target);
            if (stream.BytesFrom(target) <= 0) description.Value += " (outside the file)";
            break;
        }
        case ValueKind::kText: {
            std::string& text = description.Value;
            text = "\"";
            for (int64_t i = 0; i < description.ValueSize; ++i) {
                const uint8_t c = stream.ByteAt(start + i);
                if (c == 0)
                    text += kMiddleDot;
                else if (c >= 0x20 && c < 0x7F)
                    text += static_cast<char>(c);
                else
                    text += '?';
            }
            text += '"';
            if (description.ValueSize < wanted) text += " (cut by the end of the file)";
            break;
        }
        case ValueKind::kBytes:
            description.Value = BytesText(stream, start, description.ValueSize);
            break;
    }
    return description;
}

}  // namespace vexlor
