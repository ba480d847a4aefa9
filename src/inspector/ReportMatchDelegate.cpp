// The report search's highlight painter.
#include "inspector/ReportMatchDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

#include "inspector/ReportSearch.h"

namespace vexlor::inspector {

ReportMatchDelegate::ReportMatchDelegate(QAbstractItemDelegate* inner, const ReportSearch& search,
                                         QObject* parent)
    : QStyledItemDelegate(parent), inner_(inner), search_(search) {}

ReportMatchDelegate* ReportMatchDelegate::Install(QAbstractItemView* view,
                                                  const ReportSearch& search) {
    auto* delegate = new ReportMatchDelegate(view->itemDelegate(), search, view);
    view->setItemDelegate(delegate);
    return delegate;
}

QColor ReportMatchDelegate::MatchColour() {
    return {255, 220, 0, 110};
}

QColor ReportMatchDelegate::CurrentMatchColour() {
    return {255, 120, 0, 150};
}

QSize ReportMatchDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    return inner_ != nullptr ? inner_->sizeHint(option, index)
                             : QStyledItemDelegate::sizeHint(option, index);
}

void ReportMatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    if (inner_ != nullptr)
        inner_->paint(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);
    const int row = index.row();
    if (search_.Matcher().Empty() || row < 0 ||
        static_cast<size_t>(row) >= search_.Lines().size() || !search_.IsMatch(row))
        return;

    // Where the style puts the row's text: its text rectangle less the focus frame margin.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect text =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(margin, 0, 0, 0);
    const QFontMetrics metrics(item.font);
    const QColor colour = row == search_.CurrentRow() ? CurrentMatchColour() : MatchColour();

    // Positions in the line are positions in the shown text: one character per byte.
    const std::string_view line = search_.Lines()[static_cast<size_t>(row)];
    const size_t length = search_.Matcher().Length();
    painter->save();
    painter->setClipRect(option.rect);
    for (size_t at = search_.Matcher().Find(line); at != LineMatcher::npos;
         at = search_.Matcher().Find(line, at + length)) {
        const int left = metrics.horizontalAdvance(item.text.left(static_cast<qsizetype>(at)));
        const int width = metrics.horizontalAdvance(
            item.text.mid(static_cast<qsizetype>(at), static_cast<qsizetype>(length)));
        painter->fillRect(QRect(text.left() + left, option.rect.top(), width, option.rect.height()),
                          colour);
    }
    painter->restore();
}

}  // namespace vexlor::inspector
