// Hints in two parts, "tool tip|status text": the part before "|" is the tool tip, the part after
// it is what the status bar shows while the pointer is on the control; a hint without "|" is both.
#pragma once

#include <QAction>
#include <QString>
#include <QWidget>

namespace vexlor::desktop {

inline QString ToolTipOfHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

inline QString StatusTextOfHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

inline void ApplyHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(ToolTipOfHint(hint));
    widget->setStatusTip(StatusTextOfHint(hint));
}

inline void ApplyHint(QAction* action, const QString& hint) {
    action->setToolTip(ToolTipOfHint(hint));
    action->setStatusTip(StatusTextOfHint(hint));
}

}  // namespace vexlor::desktop
