#pragma once
// The serial port number box of the 2.7 GHz windows: editable, offering ports 1 to 16.
#include <QComboBox>

namespace vantrel {

inline constexpr int kPortNumbers = 16;

inline QComboBox* MakePortCombo(const char* name, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(true);
  for (int n = 1; n <= kPortNumbers; ++n) combo->addItem(QString::number(n));
  return combo;
}

}  // namespace vantrel
