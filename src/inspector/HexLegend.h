// The hex view's legend: a colour swatch and a name for each part of the shown block, in the
// order the parts come in the block, wrapped to the legend's width.
#pragma once

#include <QColor>
#include <QLabel>
#include <QList>

#include "reader/BlockLayout.h"

namespace vexlor::inspector {

class HexViewModel;

class HexLegend : public QLabel {
    Q_OBJECT
  public:
    struct Entry {
        QColor Tint;
        QString Name;
    };

    explicit HexLegend(QWidget* parent = nullptr);

    // Keeps the legend in step with the block the model shows.
    void Follow(const HexViewModel* model);
    void SetBlock(const BlockLayout& layout);
    const QList<Entry>& Entries() const { return entries_; }

  private:
    QList<Entry> entries_;
};

}  // namespace vexlor::inspector
