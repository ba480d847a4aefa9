// The hex view: the open file's bytes in rows of 16 (offset, hex bytes, ASCII), painted straight
// from its model for the rows on screen only, so a file of any size scrolls at once. The shown
// block's parts are tinted; hovering a byte names its field and value; a click or the arrow keys
// move the current byte (framed), and a search hit is outlined. A double-click or Enter on a byte
// asks for the block and field it lies in.
#pragma once

#include <QAbstractScrollArea>

#include "reader/BlockLayout.h"

namespace vexlor::inspector {

class HexViewModel;

class HexView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit HexView(QWidget* parent = nullptr);
    // Wide enough for whole rows.
    QSize sizeHint() const override;

    HexViewModel* Model() const { return model_; }

    // Tints the block's parts and scrolls its first byte to the top, which becomes the current
    // byte. A block none of whose bytes lie in the file only clears the tints.
    void ShowBlock(BlockLayout layout);
    // Makes the byte current and scrolls it into view (offsets beyond the file go to its last
    // byte); the marked range stays.
    void GoToOffset(int64_t offset);
    int64_t CurrentOffset() const { return current_; }
    // Outlines `length` bytes from `offset` (a search hit) and makes the first one current.
    void MarkRange(int64_t offset, int64_t length);
    void ClearMark() { MarkRange(0, 0); }
    int64_t MarkedOffset() const { return markStart_; }
    int64_t MarkedLength() const { return markLength_; }

    // The first row on screen, and how many rows the viewport shows (the last may be cut).
    int64_t TopRow() const;
    int VisibleRows() const;
    void ScrollToRow(int64_t row);
    // The byte under a point of the viewport (hex or ASCII cell); -1 when none.
    int64_t OffsetAt(const QPoint& point) const;
    // The hex cell of a byte, in viewport coordinates (empty when the byte is not on screen).
    QRect HexCellRect(int64_t offset) const;
    QRect TextCellRect(int64_t offset) const;

  signals:
    void CurrentOffsetChanged(qint64 offset);
    // A double-click on a byte, or Enter on the current one.
    void OffsetActivated(qint64 offset);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateMetrics();
    void UpdateScrollBars();
    void SetCurrent(int64_t offset);
    void EnsureVisible(int64_t offset);
    int LineHeight() const { return lineHeight_; }
    // Places are counted in character cells from the content's left edge and turned into pixels
    // once: a fixed-pitch glyph advances by a fraction of a pixel, and a row is drawn as one text.
    int X(qreal cells) const;
    qreal HexStart() const;
    qreal TextStart() const;
    int HexLeft() const { return X(HexStart()); }
    int TextLeft() const { return X(TextStart()); }
    int ContentWidth() const;
    int CharWidth() const;
    int RowTop(int64_t row) const;
    // Fills the cells of the row's bytes [from, to) with `colour`, joining neighbours.
    void FillCells(QPainter& painter, int64_t row, int from, int to, const QColor& colour) const;
    void FrameCells(QPainter& painter, int64_t row, int from, int to, const QPen& pen) const;

    HexViewModel* model_;
    int64_t current_ = 0;
    int64_t markStart_ = 0;
    int64_t markLength_ = 0;
    qreal charWidth_ = 8;
    int lineHeight_ = 16;
    int ascent_ = 12;
};

}  // namespace vexlor::inspector
