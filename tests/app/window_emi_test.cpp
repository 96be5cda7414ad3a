// EMI mode in the analyzer window against the simulated analyzer on the virtual clock,
// with a standard folder of its own.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QPushButton>
#include <QApplication>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/analyzer_window.h"
#include "app/sim_window_test.h"
#include "files/wave_text.h"
#include "app/emi_panel.h"
#include "app/emi_results_window.h"
#include <QListWidget>
#include <QProcess>
#include <QSpinBox>
#include <QDoubleSpinBox>
#include "app/fake_links.h"
#include "app/process_globals.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_serial_port.h"
#include "sim/signal_scene.h"
#include "support/memory_record_store.h"

namespace vantrel {
namespace {

using testing::FakeGpib;
using testing::NoHidDevices;
using testing::RecordingNotifier;

const char* const kFiles[][2] = {
    {"bad.txt", "[general]\nname=Bad\n\nemimode=Conducted\nregulation=R0\n"},
    {"c.txt",
     "[general]\nname=C\ndescription=Conducted R1\nemimode=Conducted\nregulation=R1\n"
     "detection=QPeak\nfreq start=0.15\nfreq stop=30\nscale=10\n[band]\n0.15,0.5\n0.5,30\n"
     "[limitupper]\n0.15,66,30,60\n"},
    {"r1.txt", "[general]\nname=R-other\nemimode=Radiation\nregulation=R9\n"},
    {"r2.txt", "[general]\nname=R\nemimode=Radiation\nregulation=r1\nfreq start=30\n"
               "freq stop=1000\n"},
};

class WindowEmiTest : public testing::SimWindowTest {
 protected:
  void Adjust(AnalyzerLinks& links) override {
    for (const auto& f : kFiles) {
      QFile out(QDir(folder.path()).filePath(QString::fromLatin1(f[0])));
      ASSERT_TRUE(out.open(QIODevice::WriteOnly));
      out.write(f[1]);
    }
    links.standardFolders = [this] { return QStringList{folder.path()}; };
    QFile cable(QDir(corrections.path()).filePath(QStringLiteral("cable.csv")));
    ASSERT_TRUE(cable.open(QIODevice::WriteOnly));
    cable.write("type=cable\n0.1,10\n3000,10\n");
    links.correctionFolders = [this] { return QStringList{corrections.path()}; };
  }

  QTemporaryDir folder;
  QTemporaryDir corrections;
};

TEST_F(WindowEmiTest, ListsTheModesStandardsAndKeepsTheRegulation) {
  EXPECT_EQ(Find<QComboBox>("cboStd")->count(), 2);
  EXPECT_EQ(Find<QLabel>("lblStdProblems")->text(),
            "Problems: bad.txt line 3: blank line inside [general]");
  EmiModeWithSettings();
  Pick("cboStd", "C");
  EXPECT_EQ(Find<QLabel>("lblStd")->text(), "Conducted R1");
  Pick("cboEMCMode", "Radiation");
  EXPECT_EQ(Find<QComboBox>("cboStd")->currentText(), "R");
  EXPECT_EQ(window->Emi().Standard().freqStop, 1000);
}

TEST_F(WindowEmiTest, CaptureRunsTheConductedScan) {
  EmiModeWithSettings();
  Pick("cboStd", "C");
  Key("btnCapture")->trigger();
  EXPECT_EQ(window->Emi().Results().trace.size(), 1002u);
  EXPECT_EQ(window->Emi().Standard().detection, "Normal");  // QPeak does not suit a scan
  EXPECT_TRUE(Key("btnCapture")->isEnabled());
  EXPECT_FALSE(Key("btnGetTrace")->isEnabled());
  EXPECT_EQ(notifier.statuses.back(), "");
  EXPECT_EQ(notifier.busyDepth, 0);
}

TEST_F(WindowEmiTest, WithoutAStandardCaptureSaysWhy) {
  EmiModeWithSettings();
  for (const auto& f : kFiles) QFile::remove(QDir(folder.path()).filePath(QString::fromLatin1(f[0])));
  Pick("cboEMCMode", "Radiation");
  EXPECT_EQ(Find<QComboBox>("cboStd")->currentIndex(), -1);
  EXPECT_EQ(Find<QLabel>("lblStd")->text(), "");
  Key("btnCapture")->trigger();
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_TRUE(window->Emi().Results().trace.empty());
}

TEST_F(WindowEmiTest, ReferenceLevelBoxKeepsItsRange) {
  QLineEdit* box = Find<QLineEdit>("txtReflvl");
  EXPECT_EQ(box->text(), "107");
  for (const auto& [typed, kept] : {std::pair{"130", "127"}, {"-10", "-3"}, {"50", "50"}}) {
    box->setText(QString::fromLatin1(typed));
    emit box->editingFinished();
    EXPECT_EQ(box->text(), kept);
    EXPECT_EQ(window->Emi().EmiRefLevel, std::stod(kept));
  }
}

TEST_F(WindowEmiTest, SpotAboveThirtyMegahertzMeasuresTheRadiatedCounterpart) {
  EmiModeWithSettings();
  Pick("cboStd", "C");
  QLineEdit* spot = Find<QLineEdit>("txtSpotCenter");
  spot->setText(QStringLiteral("100"));
  Find<QRadioButton>("optSpot")->click();
  EXPECT_FALSE(spot->isHidden());
  EXPECT_EQ(Find<QComboBox>("cboEMCMode")->currentText(), "Radiation");
  EXPECT_EQ(Find<QComboBox>("cboStd")->currentText(), "R");
  EXPECT_NEAR(window->Emi().Standard().freqStart, 99.99, 1e-9);
  emit spot->returnPressed();
  ASSERT_EQ(window->Emi().Results().trace.size(), 501u);
  EXPECT_NEAR(window->Emi().Results().markerPoints[500].frequency, 100.01, 1e-9);

  // "Save to PC" as text writes the wave text file the EMI panel reads back.
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("wave.txt"));
  Find<QRadioButton>("optSave_2")->setChecked(true);
  window->chooseSaveFile = [path](const QString&) { return path; };
  Key("btnSave")->trigger();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EmiTrace back{};
  EXPECT_FALSE(ReadWaveText(file.readAll().toStdString(), back));
  for (int i = 0; i < kEmiTracePoints; i += 50) {
    EXPECT_NEAR(back[i].level, window->Emi().Results().markerPoints[i].level, 1e-9) << i;
    EXPECT_EQ(back[i].raw, window->Emi().Results().markerPoints[i].raw) << i;
  }
}

TEST_F(WindowEmiTest, AllToPeaksPutsMarkerZeroOnTheStrongestRadiatedEmission) {
  model->Scene() = sim::SignalScene::Quiet();
  model->Scene().tones.push_back({433.92e6, -30});
  model->Scene().tones.push_back({150e6, -50});
  EmiModeWithSettings();
  Pick("cboEMCMode", "Radiation");
  Pick("cboStd", "R");
  Key("btnCapture")->trigger();
  ASSERT_EQ(window->Emi().Results().trace.size(), 501u) << ::testing::PrintToString(notifier.Texts());
  Find<QPushButton>("cmdPeaks")->click();
  EXPECT_TRUE(Find<QCheckBox>("chkEMCMMkr_0")->isChecked());
  // One column of the 30..1000 MHz graph is 1.94 MHz.
  EXPECT_NEAR(Find<QLineEdit>("txtEMCMkr_0")->text().toDouble(), 433.92, 1.94);
  EXPECT_NEAR(Find<QLineEdit>("txtEMCMkr_1")->text().toDouble(), 150, 1.94);
}

TEST_F(WindowEmiTest, TheSavedPictureShowsTheScanAgainstItsLimitInPrintColours) {
  window->resize(1000, 800);
  EmiModeWithSettings();
  Pick("cboStd", "C");
  Key("btnCapture")->trigger();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("emi.png"));
  Find<QRadioButton>("optSave_3")->setChecked(true);
  window->chooseSaveFile = [path](const QString&) { return path; };
  Key("btnSave")->trigger();
  const QImage picture(path);
  ASSERT_FALSE(picture.isNull());
  int white = 0, green = 0, red = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb c = picture.pixel(x, y);
      white += c == qRgb(255, 255, 255);
      green += qGreen(c) > 200 && qRed(c) < 80 && qBlue(c) < 80;
      red += qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
    }
  }
  EXPECT_GT(white, picture.width() * picture.height() / 2);
  EXPECT_GT(green, 300);  // the measured trace
  EXPECT_GT(red, 50);     // the limit line, dotted
}

TEST_F(WindowEmiTest, ResultsJudgeTheScanThroughTheTickedCorrectionsAndGoIntoTheReport) {
  model->Scene() = sim::SignalScene::Emi();
  EmiModeWithSettings();
  Pick("cboStd", "C");
  Key("btnCapture")->trigger();
  Key("btnMarker")->trigger();
  Find<QPushButton>("cmdResults")->click();
  EmiResultsWindow& results = *window->ResultsWindow();
  ASSERT_FALSE(results.Table().emissions.empty());
  const EmissionResult first = results.Table().emissions.front();
  ASSERT_TRUE(first.upperMargin.has_value());
  EXPECT_NE(results.Table().overall, Verdict::NoLimit);

  // The 10 dB cable table raises every level, and so the table's.
  results.lstCorrections->item(0)->setCheckState(Qt::Checked);
  EXPECT_NEAR(results.Table().emissions.front().level, first.level + 10, 1e-9);

  // The final measurement of the two strongest (all within a wide guard band).
  results.spnEmissions->setValue(2);
  results.spnGuardBand->setValue(20);
  results.cmdRemeasure->click();
  for (const EmissionResult& e : results.Table().emissions) EXPECT_TRUE(e.final && e.quasiPeak) << e.frequency;

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
  ASSERT_TRUE(results.WriteReport(pdf));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
  EXPECT_TRUE(words.contains(QStringLiteral("Pre-compliance measurement; not a substitute for an accredited test.")))
      << words.toStdString();
  EXPECT_TRUE(words.contains(QStringLiteral("cable.csv")));
  QProcess images;
  images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
  ASSERT_TRUE(images.waitForFinished(30000));
  EXPECT_GE(QString::fromUtf8(images.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).size(), 3);
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("report.html"))));
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("report.png"))));
  EXPECT_EQ(ResultsCsv(results.Table()).substr(0, 10), "Freq.(MHz)");
}

TEST_F(WindowEmiTest, RefusedTypedValuesKeepTheFocusWithoutALoop) {
  window->show();
  QApplication::setActiveWindow(window.get());
  EmiModeWithSettings();
  Key("btnMarker")->trigger();
  QLineEdit* threshold = Find<QLineEdit>("txtThreshold");
  QLineEdit* marker = Find<QLineEdit>("txtEMCMkr_0");
  const struct {
    QLineEdit* box;
    const char* typed;
    const char* message;
    const char* after;
  } cases[] = {
      {threshold, "81", "Threshold range is from -80 to 80!\r\nPlease key in a correct number.", "81"},
      {threshold, "abc", "Threshold range is from -80 to 80!\r\nPlease key in a correct number.", "abc"},
      {marker, "-1", "Freq. range is from 0 to 3000MHz!\r\nPlease key in a correct number.", "0"},
      {marker, "x", "Please key in a numeric!", "x"},
  };
  for (const auto& c : cases) {
    notifier.messages.clear();
    c.box->setFocus(Qt::OtherFocusReason);
    c.box->setText(QString::fromLatin1(c.typed));
    Find<QLineEdit>("txtReflvl")->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(notifier.Texts(), std::vector<std::string>{c.message}) << c.typed;
    EXPECT_EQ(c.box->text(), QString::fromLatin1(c.after));
    EXPECT_TRUE(c.box->hasFocus()) << c.typed;
    c.box->setText(QStringLiteral("1"));
  }
  // Two refused boxes at once: one message per move, never a ping-pong of focus changes.
  threshold->setText(QStringLiteral("99"));
  marker->setText(QStringLiteral("y"));
  notifier.messages.clear();
  threshold->setFocus(Qt::OtherFocusReason);
  marker->setFocus(Qt::TabFocusReason);
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(WindowEmiTest, DisconnectEndsTheScanQuietly) {
  EmiModeWithSettings();
  Pick("cboStd", "C");
  bool done = false;
  clock.onEvents = [&] {
    if (!done && clock.NowMs() > 20000) {
      done = true;
      Key("btnOpenCOM")->trigger();
    }
  };
  Key("btnCapture")->trigger();
  clock.onEvents = nullptr;
  EXPECT_TRUE(done);
  EXPECT_EQ(notifier.Texts(), std::vector<std::string>{});
  EXPECT_LT(window->Emi().Results().trace.size(), 1002u);
  EXPECT_FALSE(window->Emi().Sequences().Running());
  EXPECT_FALSE(Key("btnCapture")->isEnabled());
}

}  // namespace
}  // namespace vantrel
