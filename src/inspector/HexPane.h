// The hex view's pane in the main window: the legend of the shown block's parts above the view,
// and below it the "Go to offset" bar and the hex search bar, both hidden until asked for.
#pragma once

#include <QWidget>

#include "reader/BlockLayout.h"
#include "reader/NumberText.h"
#include "reader/OptStream.h"

namespace vexlor::inspector {

class HexLegend;
class HexViewSearch;
class HexView;
class OffsetBar;
class SearchBar;

class HexPane : public QWidget {
    Q_OBJECT
  public:
    explicit HexPane(QWidget* parent = nullptr);

    HexView* View() const { return view_; }
    HexLegend* Legend() const { return legend_; }
    OffsetBar* Offsets() const { return offsets_; }
    SearchBar* Search() const { return search_; }

    // The open file's bytes (read in place), or none.
    void SetFile(const OptStream* stream, int64_t globalOffset, const NumberText& numbers);
    void ClearFile();
    void ShowBlock(BlockLayout layout);

  private:
    HexLegend* legend_;
    HexView* view_;
    OffsetBar* offsets_;
    SearchBar* search_;
    HexViewSearch* searcher_;
};

}  // namespace vexlor::inspector
