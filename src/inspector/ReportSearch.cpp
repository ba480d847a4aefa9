// The report search: slices of the search between window events, and stepping through matches.
#include "inspector/ReportSearch.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QElapsedTimer>
#include <algorithm>

#include "inspector/SearchBar.h"

namespace vexlor::inspector {

namespace {

// A slice looks at lines in batches and stops after the first batch that ends past its time, so
// the window gets its events at least every few milliseconds.
constexpr size_t kBatchLines = 4096;
constexpr qint64 kSliceNanoseconds = 8'000'000;

}  // namespace

ReportSearch::ReportSearch(const ReportLines& lines, QObject* parent)
    : QObject(parent), lines_(lines) {
    slice_.setSingleShot(true);
    slice_.setInterval(0);
    connect(&slice_, &QTimer::timeout, this, &ReportSearch::RunSlice);
}

void ReportSearch::Follow(QAbstractItemModel* listModel) {
    connect(listModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        Stop();
        matches_.clear();
        current_ = -1;
        emit MatchesChanged();
    });
    connect(listModel, &QAbstractItemModel::modelReset, this, [this] { SetText(text_); });
}

void ReportSearch::Show(QAbstractItemView* listView) {
    connect(this, &ReportSearch::CurrentRowChanged, listView, [listView](int row) {
        const QModelIndex index = listView->model()->index(row, 0);
        listView->setCurrentIndex(index);
        listView->scrollTo(index, QAbstractItemView::PositionAtCenter);
    });
    connect(this, &ReportSearch::MatchesChanged, listView->viewport(),
            [listView] { listView->viewport()->update(); });
}

void ReportSearch::Attach(SearchBar* bar) {
    connect(bar, &SearchBar::TextChanged, this, [this](const QString& text) { SetText(text); });
    connect(bar, &SearchBar::NextRequested, this, &ReportSearch::Next);
    connect(bar, &SearchBar::PreviousRequested, this, &ReportSearch::Previous);
    connect(bar, &SearchBar::Closed, this, [this] { SetText(QString()); });
    connect(this, &ReportSearch::StatusChanged, bar, &SearchBar::SetStatus);
}

void ReportSearch::Stop() {
    slice_.stop();
    next_ = lines_.size();
    pending_ = Pending::kNone;
}

void ReportSearch::SetText(const QString& text, int startRow) {
    Stop();
    text_ = text;
    // Report lines are Latin-1; a character outside it cannot match any line.
    const bool representable =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    const QByteArray latin1 = representable ? text.toLatin1() : QByteArray();
    matcher_ =
        LineMatcher(std::string_view(latin1.constData(), static_cast<size_t>(latin1.size())));
    matches_.clear();
    current_ = -1;
    startRow_ = startRow;
    next_ = 0;
    emit MatchesChanged();
    if (!representable && !text.isEmpty()) next_ = lines_.size();
    if (Running()) slice_.start();
    emit StatusChanged(Status());
}

void ReportSearch::RunSlice() {
    QElapsedTimer clock;
    clock.start();
    const size_t before = matches_.size();
    while (next_ < lines_.size()) {
        const size_t end = std::min(lines_.size(), next_ + kBatchLines);
        matcher_.MatchRows(lines_, next_, end, matches_);
        next_ = end;
        if (clock.nsecsElapsed() > kSliceNanoseconds) break;
    }
    const bool done = next_ >= lines_.size();
    if (current_ < 0 && !matches_.empty()) {
        const auto after = std::lower_bound(matches_.begin(), matches_.end(), startRow_);
        if (after != matches_.end())
            Choose(after - matches_.begin());
        else if (done)
            Choose(0);
    } else if (pending_ == Pending::kNext && current_ + 1 < static_cast<int64_t>(matches_.size())) {
        pending_ = Pending::kNone;
        Choose(current_ + 1);
    } else if (done && pending_ == Pending::kNext && !matches_.empty()) {
        pending_ = Pending::kNone;
        Choose(0);
    } else if (done && pending_ == Pending::kPreviousWrap && !matches_.empty()) {
        pending_ = Pending::kNone;
        Choose(static_cast<int64_t>(matches_.size()) - 1);
    }
    if (matches_.size() != before) emit MatchesChanged();
    emit StatusChanged(Status());
    if (!done) slice_.start();
}

void ReportSearch::Choose(int64_t match) {
    current_ = match;
    emit CurrentRowChanged(matches_[static_cast<size_t>(match)]);
    emit StatusChanged(Status());
}

bool ReportSearch::IsMatch(int row) const {
    return std::binary_search(matches_.begin(), matches_.end(), row);
}

int ReportSearch::CurrentRow() const {
    return current_ >= 0 ? matches_[static_cast<size_t>(current_)] : -1;
}

void ReportSearch::Next() {
    if (matches_.empty() || current_ < 0) return;  // the first match is chosen when found
    if (current_ + 1 < static_cast<int64_t>(matches_.size()))
        Choose(current_ + 1);
    else if (Running())
        pending_ = Pending::kNext;
    else
        Choose(0);
}

void ReportSearch::Previous() {
    if (matches_.empty() || current_ < 0) return;
    if (current_ > 0)
        Choose(current_ - 1);
    else if (Running())
        pending_ = Pending::kPreviousWrap;
    else
        Choose(static_cast<int64_t>(matches_.size()) - 1);
}

QString ReportSearch::Status() const {
    if (text_.isEmpty()) return {};
    const auto count = static_cast<qulonglong>(matches_.size());
    if (Running()) {
        if (count == 0) return tr("Searching...");
        if (current_ < 0) return tr("%1 so far").arg(count);
        return tr("%1 of %2 so far").arg(current_ + 1).arg(count);
    }
    if (count == 0) return tr("No matches");
    return tr("%1 of %2").arg(current_ + 1).arg(count);
}

}  // namespace vexlor::inspector
