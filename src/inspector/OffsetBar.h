// The "Go to offset" bar of the hex view: a field for the offset (decimal, or 0x and hex
// digits), a Go button, what came of the last try, and a close button. Enter goes, Escape closes
// the bar. What going means is up to the window, which answers with a status.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace vexlor::inspector {

class OffsetBar : public QWidget {
    Q_OBJECT
  public:
    explicit OffsetBar(QWidget* parent = nullptr);

    QLineEdit* Field() const { return field_; }
    QString Status() const;
    // Shows the bar with the focus in its field, all of it selected.
    void Open();
    void Close();
    // What came of going; an error shows in red.
    void SetStatus(const QString& status, bool error);

  signals:
    void GoRequested(const QString& text);
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* field_;
    QToolButton* go_;
    QLabel* status_;
    QToolButton* close_;
};

}  // namespace vexlor::inspector
