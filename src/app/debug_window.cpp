#include "app/debug_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/process_globals.h"

namespace vantrel {

DebugWindow::DebugWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmDebug"));
  setWindowTitle(QStringLiteral("IO Message"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  txtDebug_ = new QPlainTextEdit(this);
  txtDebug_->setObjectName(QStringLiteral("txtDebug"));
  txtDebug_->setReadOnly(true);
  layout->addWidget(txtDebug_, 1);
  auto* clear = new QPushButton(QStringLiteral("Clear"), this);
  clear->setObjectName(QStringLiteral("cmdClear"));
  layout->addWidget(clear, 0, Qt::AlignRight);
  connect(clear, &QPushButton::clicked, this, [this] {
    txtDebug_->clear();
    IoMessageLog.clear();
  });
}

void DebugWindow::ShowLog() {
  txtDebug_->setPlainText(QString::fromStdString(IoMessageLog));
}

}  // namespace vantrel
