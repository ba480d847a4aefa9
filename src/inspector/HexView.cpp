// The hex view's painting, scrolling, mouse, keys and tool tips.
#include "inspector/HexView.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

#include "inspector/HexViewModel.h"

namespace vexlor::inspector {

namespace {

constexpr int kRow = HexViewModel::kBytesPerRow;
const QColor kMarkColour(0xC0, 0x10, 0x10);

int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent), model_(new HexViewModel(this)) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAutoFillBackground(false);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        current_ = 0;
        markStart_ = 0;
        markLength_ = 0;
        UpdateMetrics();
        verticalScrollBar()->setValue(0);
        viewport()->update();
    });
    connect(model_, &HexViewModel::BlockChanged, viewport(), [this] { viewport()->update(); });
    UpdateMetrics();
}

void HexView::UpdateMetrics() {
    const QFontMetrics metrics(font());
    charWidth_ = std::max<qreal>(1, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.height() + 2);
    ascent_ = metrics.ascent() + 1;
    UpdateScrollBars();
}

void HexView::UpdateScrollBars() {
    const int fullRows = std::max(1, viewport()->height() / LineHeight());
    verticalScrollBar()->setRange(0, ClampToInt(model_->RowCount() - fullRows));
    verticalScrollBar()->setPageStep(fullRows);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, ContentWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(CharWidth());
}

QSize HexView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {ContentWidth() + verticalScrollBar()->sizeHint().width() + frame,
            24 * LineHeight() + frame};
}

int64_t HexView::TopRow() const {
    return verticalScrollBar()->value();
}

int HexView::VisibleRows() const {
    return (viewport()->height() + LineHeight() - 1) / LineHeight();
}

void HexView::ScrollToRow(int64_t row) {
    verticalScrollBar()->setValue(ClampToInt(row));
}

int HexView::X(qreal cells) const {
    return qRound(cells * charWidth_);
}

int HexView::CharWidth() const {
    return std::max(1, qRound(charWidth_));
}

qreal HexView::HexStart() const {
    return 0.5 + model_->OffsetDigits() + 2;
}

qreal HexView::TextStart() const {
    return HexStart() + HexViewModel::kHexTextLength + 1;
}

int HexView::ContentWidth() const {
    return X(TextStart() + kRow + 0.5);
}

int HexView::RowTop(int64_t row) const {
    return static_cast<int>(row - TopRow()) * LineHeight();
}

QRect HexView::HexCellRect(int64_t offset) const {
    const int64_t row = HexViewModel::RowOf(offset);
    if (offset < 0 || offset >= model_->FileSize() || row < TopRow() ||
        row >= TopRow() + VisibleRows())
        return {};
    const int column = static_cast<int>(offset % kRow);
    const qreal start = HexStart() + HexViewModel::HexTextColumn(column);
    const int x = X(start) - horizontalScrollBar()->value();
    return {x, RowTop(row), X(start + 2) - X(start), LineHeight()};
}

QRect HexView::TextCellRect(int64_t offset) const {
    const QRect hex = HexCellRect(offset);
    if (hex.isEmpty()) return {};
    const int column = static_cast<int>(offset % kRow);
    const qreal start = TextStart() + column;
    const int x = X(start) - horizontalScrollBar()->value();
    return {x, hex.top(), X(start + 1) - X(start), LineHeight()};
}

int64_t HexView::OffsetAt(const QPoint& point) const {
    if (point.y() < 0 || point.x() < 0) return -1;
    const int64_t row = TopRow() + point.y() / LineHeight();
    const qreal cells = (point.x() + horizontalScrollBar()->value()) / charWidth_;
    const qreal hex = cells - HexStart();
    const qreal text = cells - TextStart();
    int column = -1;
    if (hex >= -0.5 && text < -1) {
        // Each cell owns its two digits and half a space on either side.
        const auto character = static_cast<int>(std::floor(hex + 0.5));
        if (character < 24)
            column = character / 3;
        else if (character > 24)
            column = std::min(kRow - 1, 8 + (character - 25) / 3);
        else
            column = hex < 24 ? 7 : 8;
    } else if (text >= 0 && text < kRow) {
        column = static_cast<int>(text);
    }
    if (column < 0) return -1;
    const int64_t offset = row * kRow + column;
    return offset < model_->FileSize() ? offset : -1;
}

void HexView::ShowBlock(BlockLayout layout) {
    const BlockExtent extent = layout.Extent();
    model_->ShowBlock(std::move(layout));
    if (extent.Empty()) return;
    ScrollToRow(HexViewModel::RowOf(extent.First));
    SetCurrent(extent.First);
}

void HexView::GoToOffset(int64_t offset) {
    if (model_->FileSize() <= 0) return;
    offset = std::clamp<int64_t>(offset, 0, model_->FileSize() - 1);
    const int64_t row = HexViewModel::RowOf(offset);
    const int fullRows = std::max(1, viewport()->height() / LineHeight());
    if (row < TopRow() || row >= TopRow() + fullRows) ScrollToRow(row - fullRows / 3);
    SetCurrent(offset);
}

void HexView::MarkRange(int64_t offset, int64_t length) {
    markStart_ = offset;
    markLength_ = std::max<int64_t>(0, length);
    if (markLength_ > 0) GoToOffset(offset);
    viewport()->update();
}

void HexView::SetCurrent(int64_t offset) {
    EnsureVisible(offset);
    if (offset == current_) {
        viewport()->update();
        return;
    }
    current_ = offset;
    viewport()->update();
    emit CurrentOffsetChanged(offset);
}

void HexView::EnsureVisible(int64_t offset) {
    const int64_t row = HexViewModel::RowOf(offset);
    const int fullRows = std::max(1, viewport()->height() / LineHeight());
    if (row < TopRow())
        ScrollToRow(row);
    else if (row >= TopRow() + fullRows)
        ScrollToRow(row - fullRows + 1);
    // Horizontally: the byte's hex cell, then its ASCII cell if that fits too.
    const int column = static_cast<int>(offset % kRow);
    const qreal start = HexStart() + HexViewModel::HexTextColumn(column);
    const int scroll = horizontalScrollBar()->value();
    if (X(start) < scroll)
        horizontalScrollBar()->setValue(X(start - 1));
    else if (X(start + 2) > scroll + viewport()->width())
        horizontalScrollBar()->setValue(X(start + 3) - viewport()->width());
}

void HexView::FillCells(QPainter& painter, int64_t row, int from, int to,
                        const QColor& colour) const {
    const int scroll = horizontalScrollBar()->value();
    const int top = RowTop(row);
    const int hexFrom = X(HexStart() + HexViewModel::HexTextColumn(from) - 0.5);
    const int hexTo = X(HexStart() + HexViewModel::HexTextColumn(to - 1) + 2.5);
    painter.fillRect(QRect(hexFrom - scroll, top, hexTo - hexFrom, LineHeight()), colour);
    const int textFrom = X(TextStart() + from);
    painter.fillRect(QRect(textFrom - scroll, top, X(TextStart() + to) - textFrom, LineHeight()),
                     colour);
}

void HexView::FrameCells(QPainter& painter, int64_t row, int from, int to, const QPen& pen) const {
    const int scroll = horizontalScrollBar()->value();
    const int top = RowTop(row);
    const int hexFrom = X(HexStart() + HexViewModel::HexTextColumn(from) - 0.5);
    const int hexTo = X(HexStart() + HexViewModel::HexTextColumn(to - 1) + 2.5);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(hexFrom - scroll, top, hexTo - hexFrom - 1, LineHeight() - 1));
    const int textFrom = X(TextStart() + from);
    painter.drawRect(
        QRect(textFrom - scroll, top, X(TextStart() + to) - textFrom - 1, LineHeight() - 1));
}

void HexView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    if (model_->Stream() == nullptr) return;
    const int64_t size = model_->FileSize();
    if (size == 0) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(viewport()->rect().adjusted(CharWidth(), 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignTop, tr("The file is empty."));
        return;
    }
    const int scroll = horizontalScrollBar()->value();
    const int64_t first = TopRow();
    const int64_t last = std::min(model_->RowCount(), first + VisibleRows());
    const QColor text = palette().color(QPalette::Text);
    const QColor offsets = palette().color(QPalette::PlaceholderText);
    const QPen markPen(kMarkColour, 2);
    const QPen currentPen(palette().color(QPalette::Highlight), 2);
    for (int64_t row = first; row < last; ++row) {
        const int64_t start = row * kRow;
        const int count = static_cast<int>(std::min<int64_t>(kRow, size - start));
        // Tints, a run of equal colours at a time.
        int runStart = 0;
        QColor runColour = model_->TintAt(start);
        for (int column = 1; column <= count; ++column) {
            const QColor colour = column < count ? model_->TintAt(start + column) : QColor();
            if (column < count && colour == runColour) continue;
            if (runColour.isValid()) FillCells(painter, row, runStart, column, runColour);
            runStart = column;
            runColour = colour;
        }
        const int64_t markEnd = markStart_ + markLength_;
        if (markLength_ > 0 && markStart_ < start + count && markEnd > start) {
            const int from = static_cast<int>(std::max(markStart_, start) - start);
            const int to = static_cast<int>(std::min(markEnd, start + count) - start);
            FrameCells(painter, row, from, to, markPen);
        }
        if (current_ >= start && current_ < start + count) {
            const int column = static_cast<int>(current_ - start);
            FrameCells(painter, row, column, column + 1, currentPen);
        }
        const int baseline = RowTop(row) + ascent_;
        painter.setPen(offsets);
        painter.drawText(X(0.5) - scroll, baseline, model_->OffsetText(row));
        painter.setPen(text);
        painter.drawText(HexLeft() - scroll, baseline, model_->HexText(row));
        painter.drawText(TextLeft() - scroll, baseline, model_->AsciiText(row));
    }
}

void HexView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateMetrics();
}

void HexView::mousePressEvent(QMouseEvent* event) {
    const int64_t offset = OffsetAt(event->position().toPoint());
    if (offset < 0) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    SetCurrent(offset);
    event->accept();
}

void HexView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int64_t offset = OffsetAt(event->position().toPoint());
    if (offset < 0) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    SetCurrent(offset);
    emit OffsetActivated(offset);
    event->accept();
}

void HexView::keyPressEvent(QKeyEvent* event) {
    const int64_t size = model_->FileSize();
    if (size <= 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit OffsetActivated(current_);
        event->accept();
        return;
    }
    const int64_t page = int64_t{std::max(1, viewport()->height() / LineHeight())} * kRow;
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    int64_t target = current_;
    switch (event->key()) {
        case Qt::Key_Left:
            target -= 1;
            break;
        case Qt::Key_Right:
            target += 1;
            break;
        case Qt::Key_Up:
            target -= kRow;
            break;
        case Qt::Key_Down:
            target += kRow;
            break;
        case Qt::Key_PageUp:
            target -= page;
            break;
        case Qt::Key_PageDown:
            target += page;
            break;
        case Qt::Key_Home:
            target = control ? 0 : current_ - current_ % kRow;
            break;
        case Qt::Key_End:
            target = control ? size - 1 : current_ - current_ % kRow + kRow - 1;
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    SetCurrent(std::clamp<int64_t>(target, 0, size - 1));
    event->accept();
}

bool HexView::viewportEvent(QEvent* event) {
    // The viewport also changes size when a scroll bar comes or goes.
    if (event->type() == QEvent::Resize) UpdateScrollBars();
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int64_t offset = OffsetAt(help->pos());
        const QString text = offset >= 0 ? model_->ToolTipAt(offset) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            return true;
        }
        // The tip stays while the mouse stays on the byte's cell, hex or ASCII.
        const int half = CharWidth() / 2;
        const QRect hex = HexCellRect(offset).adjusted(-half, 0, half, 0);
        const QRect cell = hex.contains(help->pos()) ? hex : TextCellRect(offset);
        QToolTip::showText(help->globalPos(), text, viewport(), cell);
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace vexlor::inspector
