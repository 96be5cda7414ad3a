// guide_shots OUTDIR: runs the whole program against the analyzer mapped to COM1 and the
// older 2.7 GHz model mapped to COM2 (the simulators, started by
// tools/make-guide-screenshots.sh) and saves the user guide's pictures of the main frame
// into OUTDIR. Run from a scratch folder of its own: the
// program keeps its settings beside itself.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "app/analyzer_window.h"
#include "app/main_frame.h"
#include "files/settings_file.h"

namespace {

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: guide_shots OUTDIR\n", stderr);
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  // No EMI step page on the first connection.
  QFile flags(QDir(QCoreApplication::applicationDirPath()).filePath(vantrel::kGlobalFlagsFileName));
  if (flags.open(QIODevice::WriteOnly)) flags.write(vantrel::WriteGlobalFlags(1).c_str());
  flags.close();

  vantrel::MainFrame frame;
  frame.showNormal();
  frame.setGeometry(0, 0, 1280, 860);
  Settle(500);
  vantrel::AnalyzerWindow* window = frame.Analyzer();
  auto key = [window](const char* name) { return window->ToolbarAction(QString::fromLatin1(name)); };
  auto shot = [&](const char* name) {
    Settle(300);
    const bool saved = frame.grab().save(out.filePath(QString::fromLatin1(name)));
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", name);
    return saved;
  };
  bool ok = true;

  key("btnSetting")->trigger();
  ok &= shot("setting-panel.png");
  key("btnSetting")->trigger();

  key("btnOpenCOM")->trigger();
  if (!key("btnOpenCOM")->isChecked()) {
    std::fputs("guide_shots: the analyzer on COM1 did not answer\n", stderr);
    return 2;
  }
  key("btnCapture")->trigger();
  ok &= shot("capture.png");

  key("btnMarker")->trigger();
  if (auto* peaks = window->findChild<QAbstractButton*>(QStringLiteral("cmdSAPeaks"))) peaks->click();
  ok &= shot("markers.png");
  key("btnMarker")->trigger();

  key("btnEMCMode")->trigger();
  key("btnCapture")->trigger();  // the EMI measurement of the selected standard
  key("btnMarker")->trigger();
  if (auto* peaks = window->findChild<QAbstractButton*>(QStringLiteral("cmdPeaks"))) peaks->click();
  ok &= shot("emi.png");
  if (auto* results = window->findChild<QAbstractButton*>(QStringLiteral("cmdResults"))) results->click();
  Settle(300);
  if (QWidget* table = window->findChild<QWidget*>(QStringLiteral("frmEmiResults"))) {
    const bool saved = table->grab().save(out.filePath(QStringLiteral("emi-results.png")));
    std::fprintf(stderr, "%s emi-results.png\n", saved ? "wrote" : "could not write");
    ok &= saved;
  }

  // The older model's EMI mode: its control panel on COM2, one capture, the markers on peaks.
  frame.SwitchMode(vantrel::InstrumentMode::Emi27GHz);
  Settle(300);
  auto* control = frame.findChild<QWidget*>(QStringLiteral("frmControl"));
  auto* port = control ? control->findChild<QComboBox*>(QStringLiteral("cboPortNo")) : nullptr;
  auto* open = control ? control->findChild<QAbstractButton*>(QStringLiteral("chkPort")) : nullptr;
  if (port && open) {
    port->setEditText(QStringLiteral("2"));
    open->click();
    if (auto* capture = control->findChild<QAbstractButton*>(QStringLiteral("cmdCapture"))) capture->click();
    if (auto* peaks = control->findChild<QAbstractButton*>(QStringLiteral("cmdPeaks"))) peaks->click();
    ok &= shot("emi-2.7ghz.png");
  } else {
    std::fputs("guide_shots: no 2.7 GHz EMI control panel\n", stderr);
    ok = false;
  }
  return ok ? 0 : 3;
}
