#include "app/wheel_guard.h"

#include <QEvent>
#include <QWidget>

namespace vantrel {

namespace {

class WheelWithoutFocus : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Wheel) {
      auto* control = static_cast<QWidget*>(watched);
      if (!control->hasFocus()) {
        event->ignore();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void IgnoreWheelWithoutFocus(QWidget* control) {
  // A wheel must not give the focus on its way either.
  if (control->focusPolicy() == Qt::WheelFocus) control->setFocusPolicy(Qt::StrongFocus);
  control->installEventFilter(new WheelWithoutFocus(control));
}

}  // namespace vantrel
