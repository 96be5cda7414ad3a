#pragma once
// frmDebug, the "IO Message" window: shows the IO message log kept by the trace
// transfer. Clear empties both the window and the log.
#include <QWidget>

class QPlainTextEdit;

namespace vantrel {

class DebugWindow : public QWidget {
  Q_OBJECT
 public:
  explicit DebugWindow(QWidget* parent = nullptr);

  // Shows IoMessageLog as it stands now (called after each logged transfer).
  void ShowLog();

 private:
  QPlainTextEdit* txtDebug_ = nullptr;
};

}  // namespace vantrel
