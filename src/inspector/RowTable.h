// What the panels whose rows lead somewhere (findings, repair) share: a read-only table of whole
// rows, and a row chosen by a click (on release) or by the arrow keys as they move, never by the
// rows changing under the current one.
#pragma once

#include <QModelIndex>
#include <functional>

class QTableView;

namespace vexlor::inspector {

void SetUpRowTable(QTableView* table);
void OnRowChosen(QTableView* table, std::function<void(const QModelIndex&)> chosen);

}  // namespace vexlor::inspector
