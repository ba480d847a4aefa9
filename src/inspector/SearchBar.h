// A search bar for one pane (the report list, the tree or the hex view): the search text, a
// choice of what the text means (only when the pane has several, as the hex view does), previous
// and next buttons, a status text with the count, and a close button. Enter finds the next match,
// Shift+Enter the previous one, Escape closes the bar. What a search does is up to the pane's
// searcher, which connects itself to the bar.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vexlor::inspector {

class SearchBar : public QWidget {
    Q_OBJECT
  public:
    explicit SearchBar(QWidget* parent = nullptr);

    QLineEdit* Field() const { return field_; }
    QString Text() const;
    // Offers a choice of what the text means; the first is chosen. No kinds hides the choice.
    void SetKinds(const QStringList& kinds);
    int Kind() const;
    QString Status() const;
    // Shows the bar and puts the focus in its text, all of it selected (what Ctrl+F does). A
    // closed bar's text searches again.
    void Open();

  public slots:
    void SetStatus(const QString& status);
    // Hides the bar; its searcher clears the search (the text stays for the next Open).
    void Close();

  signals:
    void TextChanged(const QString& text);
    void KindChanged(int kind);
    void NextRequested();
    void PreviousRequested();
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* field_;
    QComboBox* kinds_;
    QToolButton* previous_;
    QToolButton* next_;
    QLabel* status_;
    QToolButton* close_;
};

}  // namespace vexlor::inspector
