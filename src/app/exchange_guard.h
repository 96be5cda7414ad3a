#pragma once
// One exchange with the analyzer at a time for a window of command buttons: the busy
// pointer while it runs, a click that arrives inside one of its waits is ignored, and a
// close asked for meanwhile follows once the exchange has unwound.
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QObject>
#include <functional>

#include "link/sa27_link.h"
#include "util/notifier.h"

namespace vantrel {

class ExchangeGuard {
 public:
  explicit ExchangeGuard(Notifier& notifier) : notifier_(notifier) {}

  // False when another exchange was running and `work` did not run.
  bool Run(QObject* window, const std::function<void()>& work, const std::function<void()>& close) {
    if (busy_) return false;
    busy_ = true;
    notifier_.SetBusy(true);
    work();
    notifier_.SetBusy(false);
    busy_ = false;
    if (closePending_) QMetaObject::invokeMethod(window, close, Qt::QueuedConnection);
    return true;
  }

  bool Busy() const { return busy_; }
  // A close during an exchange: it follows when the exchange ends.
  void CloseWhenDone() { closePending_ = true; }

  // A close asked for: true when the window may close now, its port closed; during an
  // exchange the link is told to stop and the close follows once it has unwound.
  bool MayClose(Sa27Link& link) {
    if (busy_) {
      CloseWhenDone();
      link.stopRequested = true;
      return false;
    }
    link.Close();
    return true;
  }

 private:
  Notifier& notifier_;
  bool busy_ = false;
  bool closePending_ = false;
};

// Closes the window's frame in the workspace, or the window itself when it has none.
inline void CloseWindowFrame(QWidget* window) {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
    frame->close();
  } else {
    window->close();
  }
}

}  // namespace vantrel
