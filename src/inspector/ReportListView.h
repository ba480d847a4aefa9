// The report list's view: one line per row in a fixed-pitch font, never elided. Every row is as
// wide as the widest line of the report, so a horizontal scroll bar appears whenever a line is
// wider than the list, whichever row holds it. Lines can be selected and copied (Ctrl+C, or
// "Copy" and "Copy all" in the context menu).
#pragma once

#include <QListView>

namespace vexlor::inspector {

class ReportListModel;

class ReportListView : public QListView {
    Q_OBJECT
  public:
    explicit ReportListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The selected lines in report order, or every line, one per text line.
    QString SelectedText() const;
    QString AllText() const;
    void CopySelection() const;
    void CopyAll() const;

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vexlor::inspector
