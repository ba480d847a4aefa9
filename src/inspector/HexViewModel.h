// The hex view's model: the open file's bytes as rows of 16 (offset, 16 hex bytes, their ASCII),
// built on request only, so the size of the file does not matter; and the block being shown,
// whose parts tint their bytes and name them in tool tips.
//
// As a table model it has 18 columns: the row's offset, the 16 bytes and the ASCII text, with the
// bytes' tints as the background role and their field and value as the tool tip role. The hex
// view paints from the plain accessors, which give the same texts without a QVariant per cell.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "reader/BlockLayout.h"
#include "reader/NumberText.h"
#include "reader/OptStream.h"

namespace vexlor::inspector {

class HexViewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kBytesPerRow = 16;
    static constexpr int kOffsetColumn = 0;
    static constexpr int kFirstByteColumn = 1;
    static constexpr int kTextColumn = kFirstByteColumn + kBytesPerRow;

    explicit HexViewModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The file to show: the open document's stream, read in place, never copied. Call it again
    // whenever the document loads another file (the shown block is dropped).
    void SetFile(const OptStream* stream, int64_t globalOffset, NumberText numbers = NumberText());
    void ClearFile() { SetFile(nullptr, 0); }
    const OptStream* Stream() const { return stream_; }
    int64_t GlobalOffset() const { return globalOffset_; }
    int64_t FileSize() const { return stream_ != nullptr ? stream_->Size() : 0; }

    // Rows of 16 bytes; the last row holds what is left.
    int64_t RowCount() const { return (FileSize() + kBytesPerRow - 1) / kBytesPerRow; }
    static int64_t RowOf(int64_t offset) { return offset / kBytesPerRow; }
    // Hex digits of the offset column: 8, more for a file beyond 4 GiB.
    int OffsetDigits() const;
    QString OffsetText(int64_t row) const;
    // 16 cells of two hex digits and a space, with one more space after the eighth; the cells of
    // bytes past the end of the file are blank.
    QString HexText(int64_t row) const;
    // Printable ASCII as it is, every other byte as ".".
    QString AsciiText(int64_t row) const;
    // Where byte `column` (0 ... 15) of a row starts in HexText.
    static int HexTextColumn(int column) { return 3 * column + (column >= 8 ? 1 : 0); }
    static constexpr int kHexTextLength = 3 * kBytesPerRow + 1;

    // The block whose parts are tinted.
    void ShowBlock(BlockLayout layout);
    void ClearBlock() { ShowBlock(BlockLayout()); }
    const BlockLayout& Block() const { return block_; }
    // The shown block's span that holds the byte, or nullptr.
    const LayoutSpan* SpanAt(int64_t offset) const { return block_.SpanAt(offset); }
    // The byte's tint; an invalid colour when the shown block does not hold it.
    QColor TintAt(int64_t offset) const;
    // The byte's offset, its field in the shown block and the field's decoded value; an empty
    // text past the end of the file.
    QString ToolTipAt(int64_t offset) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    // The shown block changed (its tints and legend).
    void BlockChanged();

  private:
    uint8_t ByteAt(int64_t offset) const { return stream_->Bytes()[static_cast<size_t>(offset)]; }

    const OptStream* stream_ = nullptr;
    int64_t globalOffset_ = 0;
    NumberText numbers_;
    BlockLayout block_;
};

// "1234 (0x4D2)": how tool tips and messages give an offset.
QString OffsetWords(int64_t offset);

}  // namespace vexlor::inspector
