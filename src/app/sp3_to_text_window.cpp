#include "app/sp3_to_text_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/named.h"
#include "platform/recording_to_text_file.h"
#include "util/notifier.h"

namespace vantrel {

Sp3ToTextWindow::Sp3ToTextWindow(Notifier& notifier, QWidget* parent)
    : QWidget(parent, Qt::Window), notifier_(notifier) {
  setObjectName(QStringLiteral("frmSP3ToText"));
  setWindowTitle(QStringLiteral("SP3->Text"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* grid = new QGridLayout(this);
  txtSource = Named(new QLineEdit(this), "txtSource");
  cmdSource = Named(new QPushButton(QStringLiteral("..."), this), "cmdSource");
  txtTarget = Named(new QLineEdit(this), "txtTarget");
  cmdTarget = Named(new QPushButton(QStringLiteral("..."), this), "cmdTarget");
  cmdConvert = Named(new QPushButton(QStringLiteral("Convert"), this), "cmdConvert");
  cmdClose = Named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
  ProgressBar1 = Named(new QProgressBar(this), "ProgressBar1");
  lblProgress = Named(new QLabel(QStringLiteral("Progress:"), this), "lblProgress");
  chkKeepPartial = Named(
      new QCheckBox(QStringLiteral("Keep the lines before a damaged record"), this), "chkKeepPartial");
  grid->addWidget(new QLabel(QStringLiteral("SP3 file:"), this), 0, 0);
  grid->addWidget(txtSource, 0, 1);
  grid->addWidget(cmdSource, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Text file:"), this), 1, 0);
  grid->addWidget(txtTarget, 1, 1);
  grid->addWidget(cmdTarget, 1, 2);
  grid->addWidget(lblProgress, 2, 0);
  grid->addWidget(ProgressBar1, 2, 1, 1, 2);
  grid->addWidget(chkKeepPartial, 3, 1);
  grid->addWidget(cmdConvert, 4, 1, Qt::AlignRight);
  grid->addWidget(cmdClose, 4, 2);
  ProgressBar1->hide();
  lblProgress->hide();
  resize(520, sizeHint().height());

  chooseSource = [this] {
    return QFileDialog::getOpenFileName(this, QString(), QString(),
                                        QStringLiteral("SA Recording(*.sp3)"));
  };
  chooseTarget = [this] {
    return QFileDialog::getSaveFileName(this, QString(), QString(),
                                        QStringLiteral("Text File(*.txt)"));
  };
  connect(cmdSource, &QPushButton::clicked, this, [this] {
    const QString name = chooseSource().trimmed();
    if (!name.isEmpty()) txtSource->setText(name);
  });
  connect(cmdTarget, &QPushButton::clicked, this, [this] {
    const QString name = chooseTarget().trimmed();
    if (!name.isEmpty()) txtTarget->setText(name);
  });
  connect(cmdConvert, &QPushButton::clicked, this, [this] { Convert(); });
  connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
}

void Sp3ToTextWindow::Convert() {
  if (converting_) return;
  converting_ = true;
  cancel_ = false;
  cmdConvert->setEnabled(false);
  const Sp3Progress progress = [this](std::uint64_t k, std::uint64_t count) {
    if (k == 1) {
      ProgressBar1->setRange(1, static_cast<int>(std::min<std::uint64_t>(count, INT32_MAX)));
      ProgressBar1->show();
      lblProgress->show();
    }
    ProgressBar1->setValue(static_cast<int>(std::min<std::uint64_t>(k, INT32_MAX)));
    QCoreApplication::processEvents();
    return !cancel_;
  };
  const Sp3TextResult result =
      ConvertRecordingToTextFile(txtSource->text(), txtTarget->text(), progress,
                                 chkKeepPartial->isChecked());
  converting_ = false;
  if (result.ok) {
    ProgressBar1->hide();
    lblProgress->hide();
  } else if (!result.cancelled) {
    notifier_.ShowMessage(result.message, MessageIcon::None);
  }
  cmdConvert->setEnabled(true);
  if (closeAfter_) close();
}

void Sp3ToTextWindow::closeEvent(QCloseEvent* event) {
  // A running conversion ends at its next record; the window goes once it has.
  if (converting_) {
    cancel_ = true;
    closeAfter_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace vantrel
