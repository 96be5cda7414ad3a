#pragma once
// Editable lists that act only on a pick: the field shows any text (what the analyzer
// reports, or what the user types), but typed text never becomes an item and Enter on
// it never counts as a pick.
class QComboBox;

namespace vantrel {

void ActOnPicksOnly(QComboBox* list);

}  // namespace vantrel
