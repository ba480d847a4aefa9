// Putting the hex view's pane together.
#include "inspector/HexPane.h"

#include <QVBoxLayout>

#include "inspector/HexLegend.h"
#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/HexViewSearch.h"
#include "inspector/OffsetBar.h"
#include "inspector/SearchBar.h"

namespace vexlor::inspector {

HexPane::HexPane(QWidget* parent)
    : QWidget(parent),
      legend_(new HexLegend(this)),
      view_(new HexView(this)),
      offsets_(new OffsetBar(this)),
      search_(new SearchBar(this)),
      searcher_(new HexViewSearch(view_, this)) {
    legend_->setObjectName(QStringLiteral("hexLegend"));
    view_->setObjectName(QStringLiteral("hexView"));
    offsets_->setObjectName(QStringLiteral("offsetBar"));
    search_->setObjectName(QStringLiteral("hexSearchBar"));
    legend_->Follow(view_->Model());
    searcher_->Attach(search_);
    offsets_->hide();
    search_->hide();
    // A closed bar gives the focus back to the bytes.
    connect(offsets_, &OffsetBar::Closed, view_, [this] { view_->setFocus(); });
    connect(search_, &SearchBar::Closed, view_, [this] { view_->setFocus(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(legend_);
    layout->addWidget(view_, 1);
    layout->addWidget(offsets_);
    layout->addWidget(search_);
}

void HexPane::SetFile(const OptStream* stream, int64_t globalOffset, const NumberText& numbers) {
    view_->Model()->SetFile(stream, globalOffset, numbers);
}

void HexPane::ClearFile() {
    view_->Model()->ClearFile();
}

void HexPane::ShowBlock(BlockLayout layout) {
    view_->ShowBlock(std::move(layout));
}

}  // namespace vexlor::inspector
