// Search in the report list: plain text, case-insensitive, over the report's lines (millions of
// them for a large model). The search runs on the window thread in short slices between events,
// so the window never waits for it and the lines need no lock; matches found so far can already
// be stepped through. The count of matching lines is kept in a status text for the search bar.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>
#include <vector>

#include "inspector/plain/LineMatcher.h"

class QAbstractItemModel;
class QAbstractItemView;

namespace vexlor::inspector {

class SearchBar;

class ReportSearch : public QObject {
    Q_OBJECT
  public:
    // `lines` are the report list's lines (the report sink's list); they must outlive the search.
    explicit ReportSearch(const ReportLines& lines, QObject* parent = nullptr);

    // The list model over the lines: when it is reset (another block's report), the search stops
    // before the lines change and starts again over the new ones.
    void Follow(QAbstractItemModel* listModel);
    // The list view: each match chosen becomes its current row, scrolled into view, and matches
    // repaint as they are found.
    void Show(QAbstractItemView* listView);
    // The search bar: its text searches as it is typed, Enter and Shift+Enter step, closing the
    // bar clears the search; the bar shows the count.
    void Attach(SearchBar* bar);

    // Starts a search (an empty text clears it). The first match at or after `startRow` becomes
    // the current one as soon as it is found; the first match of all when none lies after it.
    void SetText(const QString& text, int startRow = 0);
    const QString& Text() const { return text_; }
    bool Running() const { return next_ < lines_.size() && !matcher_.Empty(); }

    // Matching lines found so far, in report order.
    const std::vector<int32_t>& Matches() const { return matches_; }
    bool IsMatch(int row) const;
    // The current match's row, -1 when none.
    int CurrentRow() const;
    void Next();
    void Previous();
    // "3 of 120", "No matches", "Searching...", "3 of 120 so far".
    QString Status() const;

    const LineMatcher& Matcher() const { return matcher_; }
    const ReportLines& Lines() const { return lines_; }

  signals:
    void CurrentRowChanged(int row);
    void MatchesChanged();
    void StatusChanged(const QString& status);

  private:
    enum class Pending { kNone, kNext, kPreviousWrap };

    void Stop();
    void RunSlice();
    void Choose(int64_t match);

    const ReportLines& lines_;
    QString text_;
    LineMatcher matcher_;
    std::vector<int32_t> matches_;
    size_t next_ = 0;  // the first line not searched yet
    int64_t current_ = -1;
    int startRow_ = 0;
    Pending pending_ = Pending::kNone;
    QTimer slice_;
};

}  // namespace vexlor::inspector
