// The hex view's legend, as rich text that wraps like words.
#include "inspector/HexLegend.h"

#include "inspector/HexTints.h"
#include "inspector/HexViewModel.h"

namespace vexlor::inspector {

HexLegend::HexLegend(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void HexLegend::Follow(const HexViewModel* model) {
    connect(model, &HexViewModel::BlockChanged, this, [this, model] { SetBlock(model->Block()); });
    SetBlock(model->Block());
}

void HexLegend::SetBlock(const BlockLayout& layout) {
    entries_.clear();
    bool seen[kFieldKindCount] = {};
    for (const LayoutSpan& span : layout.Spans) {
        const auto kind = static_cast<size_t>(span.Kind);
        if (seen[kind]) continue;
        seen[kind] = true;
        entries_.push_back(
            {TintOf(span.Kind),
             QString::fromUtf8(span.Label.data(), static_cast<qsizetype>(span.Label.size()))});
    }
    QString html;
    for (const Entry& entry : entries_) {
        // Non-breaking inside an entry, an ordinary space between entries.
        html += QStringLiteral(
                    "<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>"
                    "&nbsp;%2&nbsp;&nbsp; ")
                    .arg(entry.Tint.name(), entry.Name.toHtmlEscaped().replace(
                                                QLatin1Char(' '), QStringLiteral("&nbsp;")));
    }
    setText(html);
}

}  // namespace vexlor::inspector
