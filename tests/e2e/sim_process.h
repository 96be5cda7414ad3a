#pragma once
// vantrel-sim as a child process serving one pty link; stopped when this goes.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vantrel::testing {

class SimProcess {
 public:
  // Starts the simulator on `link` with extra options and waits (at most 5 s) for its
  // "ready LINK" line; Ready() tells whether it came.
  SimProcess(const QString& link, const QStringList& options = {}) {
    process_.setProgram(QStringLiteral(VANTREL_SIM_PROGRAM));
    process_.setArguments(QStringList{"--serial", link} + options);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(5000)) return;
    const QString expected = QStringLiteral("ready ") + link;
    QString output;
    for (int round = 0; round < 50 && !ready_; ++round) {
      if (!process_.canReadLine()) process_.waitForReadyRead(100);
      while (process_.canReadLine()) {
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        if (line == expected) ready_ = true;
      }
      if (process_.state() == QProcess::NotRunning) break;
    }
  }
  ~SimProcess() {
    if (process_.state() != QProcess::NotRunning) {
      process_.terminate();
      if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(1000);
      }
    }
  }
  bool Ready() const { return ready_; }
  QString Errors() { return QString::fromUtf8(process_.readAllStandardError()); }

 private:
  QProcess process_;
  bool ready_ = false;
};

}  // namespace vantrel::testing
