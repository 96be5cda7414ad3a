#pragma once
// frmSP3ToText: converts a whole recording into a text file, one line per record, with a
// progress bar. "Close" during a conversion cancels it; nothing is left half written.
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vantrel {

class Notifier;

class Sp3ToTextWindow : public QWidget {
  Q_OBJECT
 public:
  explicit Sp3ToTextWindow(Notifier& notifier, QWidget* parent = nullptr);

  // The file dialogs; empty when cancelled. Tests replace them.
  std::function<QString()> chooseSource;
  std::function<QString()> chooseTarget;

  void Convert();
  bool Converting() const { return converting_; }

  QLineEdit* txtSource = nullptr;
  QPushButton* cmdSource = nullptr;
  QLineEdit* txtTarget = nullptr;
  QPushButton* cmdTarget = nullptr;
  QPushButton* cmdConvert = nullptr;
  QPushButton* cmdClose = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* lblProgress = nullptr;
  QCheckBox* chkKeepPartial = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Notifier& notifier_;
  bool converting_ = false;
  bool cancel_ = false;
  bool closeAfter_ = false;
};

}  // namespace vantrel
