#pragma once
// When a typed value is checked: the focus moves to another control of the window, not
// to another window, a message box or a menu (those come back to the same box).
#include <QEvent>
#include <QFocusEvent>

namespace vantrel {

inline bool FocusLeavesForAControl(QEvent* event) {
  if (event->type() != QEvent::FocusOut) return false;
  const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// While a refused field shows its message and takes the focus back, the focus changes
// that causes in any other field of any panel are no checks: two refused fields in
// different panels would otherwise pull the focus between them for ever.
class RefusalGuard {
 public:
  RefusalGuard() : outer_(active_) { active_ = true; }
  ~RefusalGuard() { active_ = outer_; }
  RefusalGuard(const RefusalGuard&) = delete;
  RefusalGuard& operator=(const RefusalGuard&) = delete;
  static bool Active() { return active_; }

 private:
  bool outer_;
  static inline bool active_ = false;
};

}  // namespace vantrel
