// The hex view's model.
#include "inspector/HexViewModel.h"

#include <QBrush>
#include <algorithm>
#include <limits>

#include "inspector/HexTints.h"
#include "reader/ByteDescription.h"

namespace vexlor::inspector {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

QString OffsetWords(int64_t offset) {
    return QStringLiteral("%1 (0x%2)")
        .arg(offset)
        .arg(QString::number(static_cast<qulonglong>(offset), 16).toUpper());
}

void HexViewModel::SetFile(const OptStream* stream, int64_t globalOffset, NumberText numbers) {
    beginResetModel();
    stream_ = stream;
    globalOffset_ = globalOffset;
    numbers_ = std::move(numbers);
    block_ = BlockLayout();
    endResetModel();
    emit BlockChanged();
}

int HexViewModel::OffsetDigits() const {
    int digits = 8;
    for (int64_t size = FileSize(); digits < 16 && (size >> (4 * digits)) != 0;)
        ++digits;
    return digits;
}

QString HexViewModel::OffsetText(int64_t row) const {
    return QString::number(static_cast<qulonglong>(row * kBytesPerRow), 16)
        .toUpper()
        .rightJustified(OffsetDigits(), QLatin1Char('0'));
}

QString HexViewModel::HexText(int64_t row) const {
    QString text(kHexTextLength, QLatin1Char(' '));
    const int64_t start = row * kBytesPerRow;
    const int64_t count = std::clamp<int64_t>(FileSize() - start, 0, kBytesPerRow);
    QChar* out = text.data();
    for (int column = 0; column < count; ++column) {
        const uint8_t byte = ByteAt(start + column);
        out[HexTextColumn(column)] = QLatin1Char(kHexDigits[byte >> 4]);
        out[HexTextColumn(column) + 1] = QLatin1Char(kHexDigits[byte & 15]);
    }
    return text;
}

QString HexViewModel::AsciiText(int64_t row) const {
    const int64_t start = row * kBytesPerRow;
    const int64_t count = std::clamp<int64_t>(FileSize() - start, 0, kBytesPerRow);
    QString text(static_cast<qsizetype>(count), QLatin1Char('.'));
    for (int column = 0; column < count; ++column) {
        const uint8_t byte = ByteAt(start + column);
        if (byte >= 0x20 && byte < 0x7F) text[column] = QLatin1Char(static_cast<char>(byte));
    }
    return text;
}

void HexViewModel::ShowBlock(BlockLayout layout) {
    block_ = std::move(layout);
    if (RowCount() > 0) {
        emit dataChanged(index(0, kFirstByteColumn), index(rowCount() - 1, kTextColumn - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
    }
    emit BlockChanged();
}

QColor HexViewModel::TintAt(int64_t offset) const {
    const LayoutSpan* span = SpanAt(offset);
    return span != nullptr ? TintOf(span->Kind) : QColor();
}

QString HexViewModel::ToolTipAt(int64_t offset) const {
    if (stream_ == nullptr || offset < 0 || offset >= FileSize()) return {};
    const ByteDescription byte = DescribeByte(*stream_, globalOffset_, block_, offset, numbers_);
    QString text = QStringLiteral("offset ") + OffsetWords(offset);
    if (!byte.Field.empty()) text += QLatin1Char('\n') + QString::fromStdString(byte.Field);
    if (!byte.Value.empty()) {
        text += byte.Field.empty() ? QStringLiteral("\nfrom here: ") : QStringLiteral(": ");
        text += QString::fromStdString(byte.Value);
    }
    return text;
}

int HexViewModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<int64_t>(RowCount(), std::numeric_limits<int>::max()));
}

int HexViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kTextColumn + 1;
}

QVariant HexViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int64_t row = index.row();
    const int column = index.column();
    if (column == kOffsetColumn) return role == Qt::DisplayRole ? OffsetText(row) : QVariant();
    if (column == kTextColumn) return role == Qt::DisplayRole ? AsciiText(row) : QVariant();
    const int64_t offset = row * kBytesPerRow + (column - kFirstByteColumn);
    if (offset >= FileSize()) return {};
    switch (role) {
        case Qt::DisplayRole: {
            const uint8_t byte = ByteAt(offset);
            const QChar digits[] = {QLatin1Char(kHexDigits[byte >> 4]),
                                    QLatin1Char(kHexDigits[byte & 15])};
            return QString(digits, 2);
        }
        case Qt::BackgroundRole: {
            const QColor tint = TintAt(offset);
            return tint.isValid() ? QVariant(QBrush(tint)) : QVariant();
        }
        case Qt::ToolTipRole:
            return ToolTipAt(offset);
        default:
            return {};
    }
}

QVariant HexViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == kOffsetColumn) return QStringLiteral("Offset");
    if (section == kTextColumn) return QStringLiteral("ASCII");
    if (section > kOffsetColumn && section < kTextColumn)
        return QString::number(section - kFirstByteColumn, 16).toUpper();
    return {};
}

}  // namespace vexlor::inspector
