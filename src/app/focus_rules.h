#pragma once
// When a typed value is checked: the focus moves to another control of the window, not
// to another window, a message box or a menu (those come back to the same box).
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

#include "display/markers.h"
#include "util/notifier.h"

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

// A key pressed without Shift, Ctrl or Alt.
inline bool PlainKey(const QKeyEvent* key) {
  return (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
         Qt::NoModifier;
}

// A typed box the focus leaves (a marker frequency unless told): a refused text gets its message, its corrected
// text where there is one, and the focus back at once. True when the text was fine.
using TextCheck = std::optional<MarkerInputProblem> (*)(const std::string& text);
inline std::optional<MarkerInputProblem> SpectrumMarkerCheck(const std::string& text) {
  return ValidateMarkerFrequency(text);
}
inline bool CheckMarkerText(QLineEdit* box, Notifier* notifier,
                            TextCheck check = SpectrumMarkerCheck) {
  const auto problem = check(box->text().toStdString());
  if (!problem) return true;
  const RefusalGuard guard;  // the message box and the refocus are no new checks
  if (notifier) {
    notifier->ShowMessage(problem->message, MessageIcon::None);
  } else {
    QMessageBox::information(box, QString(), QString::fromStdString(problem->message));
  }
  if (!problem->correctedText.empty()) box->setText(QString::fromStdString(problem->correctedText));
  box->setFocus(Qt::OtherFocusReason);
  return false;
}

}  // namespace vantrel
