// The hex view's search.
#include "inspector/HexViewSearch.h"

#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/SearchBar.h"

namespace vexlor::inspector {

HexViewSearch::HexViewSearch(HexView* view, QObject* parent) : QObject(parent), view_(view) {}

void HexViewSearch::SetStatus(const QString& status) {
    status_ = status;
    emit StatusChanged(status_);
}

bool HexViewSearch::SetPattern(const QString& text, HexSearchKind kind) {
    const QByteArray utf8 = text.toUtf8();
    Expected<std::vector<uint8_t>> pattern =
        ParseHexPattern(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), kind);
    if (!pattern.Ok()) {
        pattern_.clear();
        SetStatus(QString::fromStdString(pattern.Message()));
        return false;
    }
    pattern_ = std::move(pattern).Value();
    return true;
}

void HexViewSearch::Next() {
    Find(true);
}

void HexViewSearch::Previous() {
    Find(false);
}

void HexViewSearch::Find(bool forward) {
    const OptStream* stream = view_->Model()->Stream();
    if (pattern_.empty() || stream == nullptr) return;
    const int64_t current = view_->CurrentOffset();
    // From a hit, the search goes on past it; from any other byte it starts there.
    const bool onHit = view_->MarkedLength() > 0 && view_->MarkedOffset() == current;
    const int64_t from = forward ? (onHit ? current + 1 : current) : current - 1;
    const std::span<const uint8_t> bytes = stream->Bytes();
    const HexHit hit =
        forward ? FindForward(bytes, pattern_, from) : FindBackward(bytes, pattern_, from);
    if (hit.Offset < 0) {
        view_->ClearMark();
        SetStatus(tr("Not found"));
        return;
    }
    view_->MarkRange(hit.Offset, static_cast<int64_t>(pattern_.size()));
    QString status = tr("At %1").arg(OffsetWords(hit.Offset));
    if (hit.Wrapped) status += forward ? tr(", from the start again") : tr(", from the end again");
    SetStatus(status);
}

void HexViewSearch::Attach(SearchBar* bar) {
    bar->SetKinds({tr("hex bytes"), tr("int32"), tr("single")});
    const auto search = [this, bar](bool forward) {
        if (!SetPattern(bar->Text(), static_cast<HexSearchKind>(bar->Kind()))) return;
        Find(forward);
    };
    connect(bar, &SearchBar::NextRequested, this, [search] { search(true); });
    connect(bar, &SearchBar::PreviousRequested, this, [search] { search(false); });
    connect(bar, &SearchBar::TextChanged, this, [this] { SetStatus(QString()); });
    connect(bar, &SearchBar::KindChanged, this, [this] { SetStatus(QString()); });
    connect(bar, &SearchBar::Closed, view_, &HexView::ClearMark);
    connect(this, &HexViewSearch::StatusChanged, bar, &SearchBar::SetStatus);
}

}  // namespace vexlor::inspector
