// What an EMI measurement shows in the analyzer window, against the simulated analyzer on
// the virtual clock with the shipped standards: a measurement runs on what it started
// with, nothing it showed outlives a clear or a change of what it depends on, and what a
// restart brings back is what is measured.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <algorithm>

#include "app/emi_panel.h"
#include "app/emi_results_window.h"
#include "app/graph_picture.h"
#include "app/sim_window_test.h"
#include "display/recording_canvas.h"
#include "sim/signal_scene.h"
#include "util/format.h"

namespace vantrel {
namespace {

constexpr const char* kConductedB = "CISPR 32 / EN 55032 Class B Conducted";
constexpr const char* kRadiatedB3m = "CISPR 32 / EN 55032 Class B Radiated 3 m";

class WindowEmiMeasurementTest : public testing::SimWindowTest {
 protected:
  void Adjust(AnalyzerLinks& links) override {
    // A file of the user's own: its detector spelt as the list does not spell it.
    QFile qp(QDir(own.path()).filePath(QStringLiteral("qp.txt")));
    if (!qp.exists() && qp.open(QIODevice::WriteOnly)) {
      qp.write("[general]\nname=QP spelt short\nemimode=Conducted\nregulation=Q\ndetection=QP\n"
               "freq start=0.15\nfreq stop=30\nscale=10\n[band]\n0.15,30\n[limitupper]\n0.15,60,30,60\n");
    }
    links.standardFolders = [this] {
      return QStringList{QStringLiteral(VANTREL_STANDARD_DIR), own.path()};
    };
    links.settingsPath = [this](const QString& name) { return QDir(settings.path()).filePath(name); };
  }
  // The window closed and opened again on the same analyzer, with this settings file.
  void Restart(const char* settingsFile) {
    window.reset();
    QFile file(QDir(settings.path()).filePath(QStringLiteral("SAV61Setting.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(settingsFile);
    file.close();
    auto serial = std::make_unique<sim::SimSerialPort>(clock, *model);
    port = serial.get();
    AnalyzerLinks links{clock, notifier, std::move(serial), std::make_unique<testing::FakeGpib>(false),
                        std::make_unique<testing::NoHidDevices>()};
    links.records = std::make_unique<testing::MemoryRecordStore>();
    Adjust(links);
    window = std::make_unique<AnalyzerWindow>(std::move(links));
  }
  void Scan(const char* mode, const char* standard) {
    Pick("cboEMCMode", mode);
    Pick("cboStd", standard);
    Key("btnCapture")->trigger();
  }
  RecordingCanvas Drawn() {
    RecordingCanvas canvas;
    window->Graph().draw(canvas);
    return canvas;
  }
  // Marker 0's row of the table under the graph: its number, frequency and level.
  std::vector<std::string> MarkerRow() {
    std::vector<std::string> row;
    for (const Primitive& p : Drawn().OfKind(PrimitiveKind::Text))
      if (p.y1 == -270 && p.x1 < 230) row.push_back(p.text);
    return row;
  }
  void TickMarker(const char* mhz) {
    if (!Key("btnMarker")->isChecked()) Key("btnMarker")->trigger();
    Find<QLineEdit>("txtEMCMkr_0")->setText(QString::fromLatin1(mhz));
    if (!Find<QCheckBox>("chkEMCMMkr_0")->isChecked()) Find<QCheckBox>("chkEMCMMkr_0")->click();
  }
  int SentCount(const std::string& command) {
    const auto& r = port->Received();
    return static_cast<int>(std::count(r.begin(), r.end(), command));
  }

  QTemporaryDir own;
  QTemporaryDir settings;
};

TEST_F(WindowEmiMeasurementTest, WhileAScanRunsNothingItMeasuresWithCanChange) {
  EmiModeWithSettings();
  Pick("cboStd", kConductedB);
  const char* const locked[] = {"cboStd",  "cboEMCMode", "cboEMCDetection", "optPrescan",        "optSpot",
                                "txtReflvl", "updRefLvl", "txtSpotCenter",   "cmdDefaultSetting"};
  std::vector<std::string> usable;
  bool reopened = false;
  clock.onEvents = [&] {
    if (reopened || clock.NowMs() < 15000) return;
    reopened = true;
    for (const char* name : locked) {
      if (Find<QWidget>(name)->isEnabled()) usable.push_back(name);
    }
    // Closing and opening the Setting panel loads the standard afresh in the middle of
    // the band loop.
    Key("btnSetting")->trigger();
    Key("btnSetting")->trigger();
  };
  Key("btnCapture")->trigger();
  clock.onEvents = nullptr;
  ASSERT_TRUE(reopened);
  EXPECT_EQ(usable, std::vector<std::string>{});
  const EmiResults& r = window->Emi().Results();
  ASSERT_EQ(r.trace.size(), 1503u);
  EXPECT_DOUBLE_EQ(r.trace.front().frequency, 0.15);
  EXPECT_DOUBLE_EQ(r.trace.back().frequency, 30);
  for (const char* name : locked) EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
}

TEST_F(WindowEmiMeasurementTest, EscapeInSpectrumModeDoesNotStopTheNextEmiScan) {
  Key("btnOpenCOM")->trigger();
  bool pressed = false;
  clock.onEvents = [&] {
    if (pressed || !window->Refresh().TraceBusy) return;
    pressed = true;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &escape);
  };
  Key("btnCapture")->trigger();
  clock.onEvents = nullptr;
  ASSERT_TRUE(pressed);
  Key("btnEMCMode")->trigger();
  Key("btnSetting")->trigger();
  Scan("Conducted", kConductedB);
  EXPECT_EQ(window->Emi().Results().trace.size(), 1503u);
  EXPECT_EQ(notifier.statuses.back(), "");

  // A scan that ends early says so and leaves the measurement on show whole.
  const std::string shown = window->Emi().Results().header.timeStamp;
  const auto start = clock.NowMs();
  bool gone = false;
  clock.onEvents = [&] {
    if (!gone && clock.NowMs() > start + 10000) {
      gone = true;
      Key("btnOpenCOM")->trigger();
    }
  };
  Key("btnCapture")->trigger();
  clock.onEvents = nullptr;
  ASSERT_TRUE(gone);
  EXPECT_EQ(window->Emi().Results().trace.size(), 1503u);
  EXPECT_EQ(window->Emi().Results().header.timeStamp, shown);
  EXPECT_EQ(notifier.statuses.back(), kEmiStoppedStatus);
}

TEST_F(WindowEmiMeasurementTest, NoReadingOutlivesAClearOrAChangeOfWhatItDependsOn) {
  const struct {
    const char* change;
    std::function<void()> act;
  } changes[] = {
      {"Clear display", [&] { Key("btnClear")->trigger(); }},
      {"another standard", [&] { Pick("cboStd", "CISPR 32 / EN 55032 Class A Radiated 3 m"); }},
      {"the other mode", [&] { Pick("cboEMCMode", "Conducted"); }},
      {"the other test type", [&] { Find<QRadioButton>("optSpot")->click(); }},
      {"SA mode and back", [&] {
         Key("btnEMCMode")->trigger();
         Key("btnEMCMode")->trigger();
       }},
  };
  EmiModeWithSettings();
  for (const auto& c : changes) {
    Find<QRadioButton>("optPrescan")->click();
    Scan("Radiation", kRadiatedB3m);
    TickMarker("433.92");  // the scene's tone
    ASSERT_EQ(MarkerRow().size(), 3u) << c.change;  // number, frequency, level
    c.act();
    EXPECT_EQ(MarkerRow(), (std::vector<std::string>{"0", "433.92"})) << c.change;
    Find<QPushButton>("cmdPeaks")->click();  // nothing left to put markers on
    EXPECT_FALSE(Find<QCheckBox>("chkEMCMMkr_0")->isChecked()) << c.change;
  }
  // The conducted graph keeps no copy of its last trace walk either.
  Find<QRadioButton>("optPrescan")->click();
  Scan("Conducted", kConductedB);
  TickMarker("0.36");  // the supply's second harmonic
  ASSERT_EQ(MarkerRow().size(), 3u);
  Key("btnClear")->trigger();
  EXPECT_EQ(MarkerRow(), (std::vector<std::string>{"0", "0.36"}));
}

TEST_F(WindowEmiMeasurementTest, ANewMeasurementStartsWithoutTheLastOnesMarkers) {
  EmiModeWithSettings();
  Scan("Conducted", kConductedB);
  Key("btnMarker")->trigger();
  Find<QPushButton>("cmdPeaks")->click();
  ASSERT_TRUE(Find<QCheckBox>("chkEMCMMkr_0")->isChecked());
  Scan("Radiation", kRadiatedB3m);
  std::vector<int> ticked;
  for (int i = 0; i < kEmiMarkers; ++i) {
    if (Find<QCheckBox>(("chkEMCMMkr_" + std::to_string(i)).c_str())->isChecked()) ticked.push_back(i);
  }
  EXPECT_EQ(ticked, std::vector<int>{});
}

TEST_F(WindowEmiMeasurementTest, AReferenceLevelTypedAfterAScanKeepsTheGraphInTheScansFrame) {
  EmiModeWithSettings();
  Scan("Conducted", kConductedB);
  auto frame = [&] {
    std::vector<std::string> out;  // the limit lines and the top level label
    for (const Primitive& p : Drawn().primitives) {
      if (p.kind == PrimitiveKind::Line && p.color == MakeRgb(255, 0, 0))
        out.push_back(std::to_string(p.y1) + "," + std::to_string(p.y2));
      if (p.kind == PrimitiveKind::Text && p.x1 == -35 && p.y1 > 1023) out.push_back(p.text);
    }
    return out;
  };
  const std::vector<std::string> measured = frame();
  ASSERT_FALSE(measured.empty());
  EXPECT_EQ(measured.back(), "107");
  QLineEdit* box = Find<QLineEdit>("txtReflvl");
  box->setText(QStringLiteral("97"));
  emit box->editingFinished();
  EXPECT_EQ(frame(), measured);
  Key("btnCapture")->trigger();  // the next scan measures at the new level, and shows it
  EXPECT_EQ(SentCount("MEAS:REFL 97"), 1);
  EXPECT_EQ(frame().back(), "97");
}

TEST_F(WindowEmiMeasurementTest, TheDefaultSceneConductedScanPassesAndSaysSo) {
  EmiModeWithSettings();
  Scan("Conducted", kConductedB);
  Key("btnMarker")->trigger();
  Find<QPushButton>("cmdResults")->click();
  EmiResultsWindow& results = *window->ResultsWindow();
  EXPECT_FALSE(results.Table().emissions.empty());  // the supply's harmonics are peaks
  EXPECT_TRUE(results.lblOverall->text().startsWith(QStringLiteral("Overall: Pass"))) << results.lblOverall->text().toStdString();
}

TEST_F(WindowEmiMeasurementTest, ASinglePointAboveThirtyMegahertzMeasuresTheRadiatedCounterpart) {
  EmiModeWithSettings();
  Pick("cboStd", kConductedB);
  Find<QRadioButton>("optSpot")->click();
  Find<QLineEdit>("txtSpotCenter")->setText(QStringLiteral("100"));
  Key("btnSetting")->trigger();  // the panel closed
  Key("btnCapture")->trigger();
  const LimitStandard& s = window->Emi().Standard();
  EXPECT_EQ(Find<QComboBox>("cboStd")->currentText().toStdString() + " " + s.emiMode + " " +
                window->Emi().Results().header.rbw + " " + FormatShortest(SinglePointLimit(s.upperLimit, 100)),
            "CISPR 32 / EN 55032 Class B Radiated 10 m Radiation 120KHz 30");
  // Its level, limit, margin and verdict show on the graph.
  bool shown = false;
  for (const Primitive& p : Drawn().OfKind(PrimitiveKind::Text)) shown = shown || p.text.starts_with("Level: ");
  EXPECT_TRUE(shown);
}

TEST_F(WindowEmiMeasurementTest, SinglePointTestKeepsTheChosenStandardAndTheLastChoiceOfEachMode) {
  EmiModeWithSettings();
  Scan("Radiation", kRadiatedB3m);
  QLineEdit* spot = Find<QLineEdit>("txtSpotCenter");
  QComboBox* list = Find<QComboBox>("cboStd");
  std::vector<std::string> seen;
  Find<QRadioButton>("optSpot")->click();
  seen.push_back(list->currentText().toStdString());
  spot->setText(QStringLiteral("15"));
  Find<QRadioButton>("optSpot")->click();
  seen.push_back(list->currentText().toStdString());
  spot->setText(QStringLiteral("100"));
  Find<QRadioButton>("optSpot")->click();
  seen.push_back(list->currentText().toStdString());
  EXPECT_EQ(seen, (std::vector<std::string>{kRadiatedB3m, kConductedB, kRadiatedB3m}));
  EXPECT_EQ(SinglePointLimit(window->Emi().Standard().upperLimit, 100), 40);
}

TEST_F(WindowEmiMeasurementTest, ARestartBringsBackWhatIsMeasured) {
  // What the panel shows and what a capture would measure with, side by side.
  auto state = [&] {
    const LimitStandard& s = window->Emi().Standard();
    return Find<QComboBox>("cboStd")->currentText().toStdString() + " | " +
           Find<QComboBox>("cboEMCDetection")->currentText().toStdString() + " " + s.detection + " | " +
           (Find<QLineEdit>("txtSpotCenter")->isHidden() ? "scan " : "spot ") + FormatShortest(s.freqStart) +
           " | upper " + FormatShortest(s.upperLimit.front().startLevel);
  };
  Restart("EMC_Presscan=True\r\nEMC_Spot=False\r\nEMC_Mode=Conducted\r\n"
          "EMC_Std=CISPR 32 / EN 55032 Class B Conducted\r\nEMC_Detection=Peak+\r\n");
  EXPECT_EQ(state(), "CISPR 32 / EN 55032 Class B Conducted | Peak+ Peak+ | scan 0.15 | upper 66");
  EmiModeWithSettings();
  Key("btnCapture")->trigger();
  EXPECT_EQ(SentCount("MEAS:TRA:DET 3"), 1);  // Peak+

  Restart("EMC_Presscan=False\r\nEMC_Spot=True\r\nEMC_Mode=Radiation\r\n"
          "EMC_Std=CISPR 32 / EN 55032 Class B Radiated 3 m\r\nEMC_Detection=QPeak\r\nEMC_SpotCenter=100\r\n");
  EXPECT_EQ(state(), "CISPR 32 / EN 55032 Class B Radiated 3 m | QPeak QPeak | spot 99.99 | upper 40");

  Find<QPushButton>("cmdDefaultSetting")->click();
  EXPECT_EQ(state(), "CISPR 11 Group 1 Class A Conducted | Normal Normal | scan 0.15 | upper 79");
}

TEST_F(WindowEmiMeasurementTest, TheReferenceArrowsAndTheDetectorListShowWhatIsInForce) {
  QLineEdit* box = Find<QLineEdit>("txtReflvl");
  QSpinBox* arrows = Find<QSpinBox>("updRefLvl");
  const struct {
    const char* typed;
    int step;
    const char* after;
  } steps[] = {{"100", -1, "99"}, {"127", 1, "127"}, {"60", 1, "78"}};  // the arrows span 77..127
  for (const auto& s : steps) {
    box->setText(QString::fromLatin1(s.typed));
    arrows->stepBy(s.step);
    EXPECT_EQ(box->text().toStdString(), s.after) << s.typed;
  }
  // A spot standard measured with the quasi-peak detector, then a file that spells it "QP".
  EmiModeWithSettings();
  Pick("cboStd", kConductedB);
  Find<QRadioButton>("optSpot")->click();
  QComboBox* detector = Find<QComboBox>("cboEMCDetection");
  const int qpeak = detector->findText(QStringLiteral("QPeak"));
  ASSERT_GE(qpeak, 0);
  detector->setCurrentIndex(qpeak);
  emit detector->textActivated(detector->itemText(qpeak));
  Pick("cboStd", "QP spelt short");
  EXPECT_EQ(detector->currentText().toStdString() + " " + window->Emi().Standard().detection, "QPeak QPeak");
}

TEST_F(WindowEmiMeasurementTest, TheHeaderShowsTheModesRbwBeforeAnyMeasurement) {
  EmiModeWithSettings();
  Pick("cboEMCMode", "Radiation");
  EXPECT_NE(Drawn().FindText("RBW:120KHz"), nullptr);
  Pick("cboEMCMode", "Conducted");
  EXPECT_NE(Drawn().FindText("RBW:9KHz"), nullptr);
}

TEST_F(WindowEmiMeasurementTest, AWheelOverAListWithoutTheFocusSendsNothing) {
  Key("btnOpenCOM")->trigger();
  Key("btnControl")->trigger();
  window->show();
  const std::size_t before = port->Received().size();
  for (const char* name : {"cboAmpScale", "cboAmpUnit", "cboRBW", "cboVBW"}) {
    QComboBox* list = Find<QComboBox>(name);
    ASSERT_FALSE(list->hasFocus());
    for (int notch = 0; notch < 3; ++notch) {
      QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(list, &wheel);
    }
  }
  EXPECT_EQ(std::vector<std::string>(port->Received().begin() + static_cast<std::ptrdiff_t>(before),
                                     port->Received().end()),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace vantrel
