#include "platform/qt_notifier.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <algorithm>

namespace vantrel {

QtNotifier::QtNotifier(QWidget* parent, QLabel* panel1, QProgressBar* progress)
    : parent_(parent), panel1_(panel1), progress_(progress) {}

QtNotifier::~QtNotifier() {
  while (busyDepth_ > 0) SetBusy(false);
}

MessageResult QtNotifier::ShowMessage(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) {
  QMessageBox box(parent_);
  box.setWindowTitle(QCoreApplication::applicationName());
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case MessageIcon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  if (buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  // The busy pointer would otherwise cover the box the user must answer.
  const bool busy = busyDepth_ > 0;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (busy) QApplication::restoreOverrideCursor();
  if (buttons == MessageButtons::YesNo) {
    return answer == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
  }
  return MessageResult::Ok;
}

void QtNotifier::SetStatus(const std::string& text) {
  if (panel1_) {
    panel1_->setText(QString::fromStdString(text));
    panel1_->repaint();  // shown at once, also inside a long step without events
  }
}

void QtNotifier::SetProgress(double done, double total) {
  if (!progress_) return;
  if (done < 0 || !(total >= 0)) {
    progress_->hide();
    return;
  }
  // Thousandths, so long waits still move the bar.
  progress_->setRange(0, total > 0 ? 1000 : 0);
  progress_->setValue(total > 0 ? static_cast<int>(std::clamp(done / total, 0.0, 1.0) * 1000) : 0);
  progress_->show();
  progress_->repaint();
}

void QtNotifier::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

}  // namespace vantrel
