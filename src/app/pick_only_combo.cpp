#include "app/pick_only_combo.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace vantrel {

namespace {

class SwallowEnter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void ActOnPicksOnly(QComboBox* list) {
  list->setInsertPolicy(QComboBox::NoInsert);
  // Keys reach the list (its line edit's focus proxy) and, sent directly, the line edit.
  auto* filter = new SwallowEnter(list);
  list->installEventFilter(filter);
  if (QLineEdit* edit = list->lineEdit()) edit->installEventFilter(filter);
}

}  // namespace vantrel
