// Paints the report search's matches over the report list's rows: every occurrence of the search
// text in a matching line gets a translucent yellow, the current match's occurrences orange. It
// wraps the list's own delegate, which still paints the rows and sizes them.
#pragma once

#include <QStyledItemDelegate>

namespace vexlor::inspector {

class ReportSearch;

class ReportMatchDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    ReportMatchDelegate(QAbstractItemDelegate* inner, const ReportSearch& search,
                        QObject* parent = nullptr);

    // Puts a match delegate in front of the view's delegate.
    static ReportMatchDelegate* Install(QAbstractItemView* view, const ReportSearch& search);

    static QColor MatchColour();
    static QColor CurrentMatchColour();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    QAbstractItemDelegate* inner_;
    const ReportSearch& search_;
};

}  // namespace vexlor::inspector
