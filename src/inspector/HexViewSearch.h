// The hex view's search: the search bar's text as hex bytes, an int32 or a single, found from the
// view's current byte forwards (Enter, Next) or backwards (Shift+Enter, Previous), wrapping around
// the file. A hit is outlined in the view and becomes its current byte.
#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "inspector/plain/HexPattern.h"

namespace vexlor::inspector {

class HexView;
class SearchBar;

class HexViewSearch : public QObject {
    Q_OBJECT
  public:
    explicit HexViewSearch(HexView* view, QObject* parent = nullptr);

    // False, with the reason as the status, when the text is no pattern of the kind.
    bool SetPattern(const QString& text, HexSearchKind kind);
    void Next();
    void Previous();
    QString Status() const { return status_; }

    // The bar offers "hex bytes", "int32" and "single"; Enter and the buttons search with its
    // text and kind as they are then.
    void Attach(SearchBar* bar);

  signals:
    void StatusChanged(const QString& status);

  private:
    void Find(bool forward);
    void SetStatus(const QString& status);

    HexView* view_;
    std::vector<uint8_t> pattern_;
    QString status_;
};

}  // namespace vexlor::inspector
