#pragma once
// Message boxes, status panel 1 of the main frame and the busy pointer.
#include <QPointer>

#include "util/notifier.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace vantrel {

class QtNotifier : public Notifier {
 public:
  // `parent`: the window message boxes belong to; `panel1`: the status bar's first panel;
  // `progress`: the status bar's progress bar, if it has one.
  QtNotifier(QWidget* parent, QLabel* panel1, QProgressBar* progress = nullptr);
  ~QtNotifier() override;

  MessageResult ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons = MessageButtons::Ok) override;
  void SetStatus(const std::string& text) override;
  void SetBusy(bool busy) override;
  void SetProgress(double done, double total) override;

 private:
  QPointer<QWidget> parent_;
  QPointer<QLabel> panel1_;
  QPointer<QProgressBar> progress_;
  int busyDepth_ = 0;  // nested actions keep the pointer until the outermost ends
};

}  // namespace vantrel
