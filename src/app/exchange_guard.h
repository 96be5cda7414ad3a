#pragma once
// One exchange with the analyzer at a time for a window of command buttons: the busy
// pointer while it runs, a click that arrives inside one of its waits is ignored, and a
// close asked for meanwhile follows once the exchange has unwound.
#include <QMetaObject>
#include <QObject>
#include <functional>

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

 private:
  Notifier& notifier_;
  bool busy_ = false;
  bool closePending_ = false;
};

}  // namespace vantrel
