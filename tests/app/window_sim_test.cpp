// The analyzer window with its real widgets against the simulated analyzer in process,
// on the virtual clock. Commands are asserted as the simulated analyzer received them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolBar>
#include <algorithm>

#include "app/analyzer_window.h"
#include "app/control_panel.h"
#include "app/fake_links.h"
#include "app/folder_picker.h"
#include "app/graph_picture.h"
#include "app/marker_panel.h"
#include "app/process_globals.h"
#include "app/setting_panel.h"
#include "app/sim_window_test.h"
#include "app/twips.h"
#include "display/graph_frame.h"
#include "platform/qt_canvas.h"
#include "display/graph_mapping.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_serial_port.h"
#include "support/memory_record_store.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

using testing::FakeGpib;
using testing::NoHidDevices;
using testing::RecordingNotifier;

class WindowSimTest : public testing::SimWindowTest {
 protected:
  void Adjust(AnalyzerLinks&) override { model->Scene() = sim::SignalScene::Quiet(); }
  void SetUp() override {
    SimWindowTest::SetUp();
    window->chooseRecording = [] { return QString(); };  // the file dialog cancelled
  }

  QLineEdit* Box(const char* name) { return Find<QLineEdit>(name); }
  QComboBox* List(const char* name) { return Find<QComboBox>(name); }

  void Connect() {
    Key("btnOpenCOM")->trigger();
    ASSERT_TRUE(window->Identified());
    port->ClearReceived();
    notifier.messages.clear();
  }
  // Lines the analyzer received that are commands, not queries.
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const std::string& line : port->Received()) {
      if (line.empty() || line.back() != '?') out.push_back(line);
    }
    return out;
  }
  bool Queried() const {
    return std::any_of(port->Received().begin(), port->Received().end(),
                       [](const std::string& l) { return !l.empty() && l.back() == '?'; });
  }
  static void Enter(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
  }
  static void Leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
  }
  static void Pick(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

};

TEST_F(WindowSimTest, ConnectFillsTheControlPanelAndSendsNoSetting) {
  EXPECT_EQ(Box("txtFreqStart")->text(), "1000.000");
  EXPECT_EQ(Box("txtFreqStop")->text(), "3000.000");
  EXPECT_EQ(Box("txtFreqCenter")->text(), "2000.000");
  EXPECT_EQ(Box("txtSpan")->text(), "1000.000");
  EXPECT_EQ(Box("txtAmpRefLevel")->text(), "-30.5");
  EXPECT_EQ(List("cboRBW")->count(), 0);
  EXPECT_EQ(List("cboVBW")->count(), 12);
  EXPECT_EQ(List("cboVBW")->currentText(), "Auto");
  EXPECT_EQ(List("cboAmpScale")->currentText(), "10");

  model->SetStart(100'000'000);
  model->SetStop(600'000'000);
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  EXPECT_TRUE(Commands().empty());  // only "*IDN?" and the settings queries went out
  EXPECT_TRUE(Queried());
  ASSERT_EQ(List("cboRBW")->count(), 10);
  EXPECT_EQ(List("cboRBW")->itemText(1), "4MHz");
  EXPECT_EQ(Box("txtFreqStart")->text(), "100");
  EXPECT_EQ(Box("txtFreqStop")->text(), "600");
  EXPECT_EQ(Box("txtFreqCenter")->text(), "350");
  EXPECT_EQ(Box("txtSpan")->text(), "500");
  EXPECT_EQ(Box("txtAmpRefLevel")->text(), "0");
  EXPECT_EQ(List("cboAmpUnit")->currentText(), "dBm");
  EXPECT_EQ(List("cboRBW")->currentText(), "Auto");
  EXPECT_EQ(List("cboVBW")->currentText(), "Auto");
  EXPECT_EQ(notifier.busyDepth, 0);
  EXPECT_EQ(notifier.statuses.back(), "");

  // Writing the analyzer's values into the lists never sends anything back.
  port->ClearReceived();
  window->Control().CopySettingsToControls();
  EXPECT_TRUE(port->Received().empty());
  EXPECT_FALSE(window->Control().SuppressControlEvents());
}

TEST_F(WindowSimTest, FrequencyEnterClampsSendsAndShowsTheAnalyzersAnswer) {
  Connect();
  Box("txtFreqStart")->setText("-5");
  Enter(Box("txtFreqStart"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:FREQ:ST 0 MHz"});
  EXPECT_TRUE(Queried());
  EXPECT_EQ(Box("txtFreqStart")->text(), "0");

  port->ClearReceived();
  Box("txtFreqStop")->setText("4000");
  Enter(Box("txtFreqStop"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:FREQ:STP 3000 MHz"});

  port->ClearReceived();
  Box("txtFreqStart")->setText("500");
  Enter(Box("txtFreqStart"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:FREQ:ST 500 MHz"});
  EXPECT_EQ(Box("txtFreqStart")->text(), "500");
  EXPECT_EQ(Box("txtFreqCenter")->text(), "1750");
  EXPECT_EQ(Box("txtSpan")->text(), "2500");
  EXPECT_EQ(window->Display().settings.FreqStart, 500);

  port->ClearReceived();
  Box("txtSpan")->setText("1e999");
  Enter(Box("txtSpan"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:SPAN 3000 MHz"});

  port->ClearReceived();
  Box("txtFreqCenter")->setText("-0");
  Enter(Box("txtFreqCenter"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:FREQ:CEN 0 MHz"});
  EXPECT_EQ(notifier.busyDepth, 0);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(WindowSimTest, LeavingFrequencyBoxesClampsAndOrdersWithoutCommands) {
  Connect();
  Box("txtFreqStart")->setText("800");
  Box("txtFreqStop")->setText("500");
  Leave(Box("txtFreqStop"));
  EXPECT_EQ(Box("txtFreqStop")->text(), "800");
  Box("txtFreqStart")->setText("900");
  Leave(Box("txtFreqStart"));
  EXPECT_EQ(Box("txtFreqStart")->text(), "800");
  Box("txtSpan")->setText("-7");
  Leave(Box("txtSpan"));
  EXPECT_EQ(Box("txtSpan")->text(), "0");
  Box("txtFreqCenter")->setText("99999999999999999999");
  Leave(Box("txtFreqCenter"));
  EXPECT_EQ(Box("txtFreqCenter")->text(), "3000");
  EXPECT_TRUE(port->Received().empty());
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(WindowSimTest, ReferenceLevelEnterAndArrowsClampToTheUnit) {
  Connect();
  List("cboAmpUnit")->setCurrentText("dBuV");  // typed, not picked: nothing sent
  EXPECT_TRUE(port->Received().empty());
  Box("txtAmpRefLevel")->setText("150");
  Enter(Box("txtAmpRefLevel"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:REFL 127"});

  port->ClearReceived();
  List("cboAmpUnit")->setCurrentText("dBm");
  Box("txtAmpRefLevel")->setText("30");
  Enter(Box("txtAmpRefLevel"));
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:REFL 20"});
  EXPECT_EQ(Box("txtAmpRefLevel")->text(), "20");  // the analyzer took it

  port->ClearReceived();
  Box("txtAmpRefLevel")->setText("-200");
  Leave(Box("txtAmpRefLevel"));
  EXPECT_EQ(Box("txtAmpRefLevel")->text(), "-110");
  EXPECT_TRUE(port->Received().empty());

  auto* arrows = Find<QSpinBox>("updAmpRefLevel");
  arrows->setValue(-30);
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:REFL -30"});
  port->ClearReceived();
  arrows->setValue(25);  // above the dBm range: held at 20
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:REFL 20"});

  // Disconnected, the arrows only clamp.
  Key("btnOpenCOM")->trigger();
  port->ClearReceived();
  arrows->stepDown();
  EXPECT_TRUE(port->Received().empty());
}

TEST_F(WindowSimTest, ListPicksSendTheirCommandOnlyWhenConnected) {
  Key("btnOpenCOM")->trigger();
  Key("btnOpenCOM")->trigger();  // filled once, now disconnected
  port->ClearReceived();
  Pick(List("cboVBW"), "1MHz");
  EXPECT_TRUE(port->Received().empty());

  Connect();
  Pick(List("cboRBW"), "300KHz");
  ASSERT_FALSE(Commands().empty());
  EXPECT_EQ(Commands().front(), "CON:RBW:MAN 7");
  EXPECT_EQ(List("cboRBW")->currentText(), "300KHz");
  port->ClearReceived();
  Pick(List("cboRBW"), "Auto");
  EXPECT_EQ(Commands(), std::vector<std::string>{"CON:RBW:AUTO"});
  EXPECT_EQ(List("cboRBW")->currentText(), "Auto");
  port->ClearReceived();
  Pick(List("cboVBW"), "300kHz");
  ASSERT_FALSE(Commands().empty());
  EXPECT_EQ(Commands().front(), "CON:VBW:MAN 9");
  port->ClearReceived();
  Pick(List("cboAmpUnit"), "dBuV");
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:REFL:UNIT 3"});
  EXPECT_EQ(List("cboAmpUnit")->currentText(), "dBuV");
  port->ClearReceived();
  Pick(List("cboAmpScale"), "5");
  EXPECT_EQ(Commands(), std::vector<std::string>{"MEAS:REFL:SCALE 2"});
  EXPECT_EQ(window->Display().settings.Scale, 5.0f);
}

TEST_F(WindowSimTest, OkButtonSendsTheDifferencesAndAlwaysCloses) {
  Connect();
  Key("btnControl")->trigger();
  EXPECT_TRUE(window->Control().isVisibleTo(window.get()));
  Find<QPushButton>("cmdOKControl")->click();
  EXPECT_TRUE(port->Received().empty());  // nothing changed: no command, no re-read
  EXPECT_FALSE(window->Control().isVisibleTo(window.get()));
  EXPECT_FALSE(Key("btnControl")->isChecked());

  Key("btnControl")->trigger();
  Box("txtFreqStart")->setText("100");
  Box("txtFreqStop")->setText("200");
  Box("txtSpan")->setText("100");
  List("cboVBW")->setCurrentText("10kHz");
  Find<QPushButton>("cmdOKControl")->click();
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 4u);
  EXPECT_EQ(commands[0], "MEAS:FREQ:ST 100 MHz");
  EXPECT_EQ(commands[1], "MEAS:FREQ:STP 200 MHz");
  EXPECT_EQ(commands[2], "MEAS:SPAN 100 MHz");
  EXPECT_EQ(commands[3], "CON:VBW:MAN 6");
  EXPECT_EQ(Box("txtFreqCenter")->text(), "150");
  EXPECT_FALSE(window->Control().isVisibleTo(window.get()));
  EXPECT_EQ(notifier.busyDepth, 0);

  // Disconnected: nothing goes out, the panel still closes.
  Key("btnOpenCOM")->trigger();
  port->ClearReceived();
  window->Toolbar()["btnControl"].down = true;
  window->ToggleControlPanel();
  Box("txtFreqStart")->setText("5");
  Find<QPushButton>("cmdOKControl")->click();
  EXPECT_TRUE(port->Received().empty());
  EXPECT_FALSE(window->Control().isVisibleTo(window.get()));
}

// x in Pic1 pixels of the highest pixel in `colour`; -1 when the colour is absent.
int PeakColumn(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return x;
    }
  }
  return -1;
}

TEST_F(WindowSimTest, CaptureDrawsTheSimulatedSpectrum) {
  model->Scene().tones = {{1200e6, -25}};
  Connect();
  window->Display().storedTraces[4].SetValid(true);
  Key("btnCapture")->trigger();
  EXPECT_FALSE(window->Display().storedTraces[4].Valid());
  EXPECT_TRUE(Key("btnCapture")->isEnabled());  // back from its working state
  EXPECT_TRUE(Key("btnGetTrace")->isEnabled());
  EXPECT_EQ(notifier.busyDepth, 0);
  EXPECT_EQ(notifier.statuses.back(), "");
  ASSERT_TRUE(window->Display().liveTraces[0].Valid());

  GraphPicture& pic = window->Graph();
  const QImage image = pic.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int peak = PeakColumn(image, qRgb(0, 255, 0));
  ASSERT_GE(peak, 0);
  const double graphX = FreqToX(1200, 0, 3000);  // 200
  const double expected = (graphX + 60) / 600 * image.width();
  EXPECT_NEAR(peak, expected, 3.0);

  // Repaints from resizing or uncovering never talk to the analyzer.
  port->ClearReceived();
  window->resize(window->width() + 40, window->height() + 30);
  pic.grab();
  EXPECT_TRUE(port->Received().empty());

  // Another tone, another capture: the picture follows.
  model->Scene().tones = {{2400e6, -25}};
  Key("btnCapture")->trigger();
  const QImage second = pic.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_NEAR(PeakColumn(second, qRgb(0, 255, 0)),
              (FreqToX(2400, 0, 3000) + 60) / 600 * second.width(), 3.0);
}

TEST_F(WindowSimTest, ToolbarStatesAndRecordingLimitAtEveryClick) {
  auto* unit = List("cboRecLimitUnit");
  auto* limit = List("cboRecordingLimit");
  EXPECT_EQ(unit->currentText(), "Hr.");
  EXPECT_EQ(limit->currentText(), "None");
  limit->setEditText("10");
  unit->setEditText("Min.");
  Key("btnSetting")->trigger();
  EXPECT_EQ(window->RecordingLimitSeconds(), 600);
  limit->setEditText("None");
  Key("btnSetting")->trigger();
  EXPECT_EQ(window->RecordingLimitSeconds(), 0);
  unit->setEditText("weeks");
  limit->setEditText("30");
  Key("btnQuit")->trigger();  // answered No
  EXPECT_EQ(window->RecordingLimitSeconds(), 30);

  // Playing back while disconnected: marker and print usable meanwhile.
  window->chooseRecording = [this] {
    EXPECT_TRUE(Key("btnMarker")->isEnabled());
    EXPECT_TRUE(Key("btnPrint")->isEnabled());
    return QString();
  };
  Key("btnDrawPCStored")->trigger();
  EXPECT_FALSE(Key("btnDrawPCStored")->isChecked());
  EXPECT_FALSE(Key("btnMarker")->isEnabled());

  Connect();
  clock.Advance(5000);
  const DateTime pressed = clock.LocalNow();
  // Looked at while the recording runs, then released.
  bool looked = false;
  clock.onEvents = [&] {
    if (looked || !Key("btnGetTrace")->isChecked()) return;
    looked = true;
    EXPECT_EQ(window->RecordStartTime(), pressed);
    EXPECT_EQ(Key("btnGetTrace")->toolTip(), "Recording off");
    EXPECT_EQ(Key("btnGetTrace")->property("imageIndex").toInt(), 4);
    for (const char* off : {"btnEMCMode", "btnCapture", "btnClear"}) {
      EXPECT_FALSE(Key(off)->isEnabled()) << off;
    }
    EXPECT_TRUE(Key("btnControl")->isEnabled());
    limit->setEditText("60");
    unit->setEditText("Sec.");
    Key("btnGetTrace")->trigger();
  };
  Key("btnGetTrace")->trigger();
  clock.onEvents = nullptr;
  EXPECT_TRUE(looked);
  EXPECT_EQ(window->RecordingLimitSeconds(), 60);
  EXPECT_EQ(Key("btnGetTrace")->toolTip(), "Recording");
  EXPECT_EQ(Key("btnGetTrace")->property("imageIndex").toInt(), 3);
  EXPECT_TRUE(Key("btnCapture")->isEnabled());

  // EMI mode takes the Control panel away.
  Key("btnControl")->trigger();
  EXPECT_TRUE(window->Control().isVisibleTo(window.get()));
  Key("btnEMCMode")->trigger();
  EXPECT_FALSE(window->Control().isVisibleTo(window.get()));
  EXPECT_FALSE(Key("btnControl")->isChecked());
  EXPECT_FALSE(Key("btnControl")->isEnabled());
  Key("btnEMCMode")->trigger();
  EXPECT_TRUE(Key("btnControl")->isEnabled());
  EXPECT_EQ(window->Display().settings.Span, "3GHz");
}

TEST_F(WindowSimTest, LayoutFollowsTheWindowStateAndPlacesThePanels) {
  const double dpi = window->Dpi();
  const int toolbar = Find<QToolBar>("Toolbar1")->height();
  GraphPicture& pic = window->Graph();
  const QRect home = window->GraphHome();
  EXPECT_EQ(pic.geometry(),
            QRect(0, TwipsToPixels(home.top(), dpi), TwipsToPixels(home.width(), dpi),
                  TwipsToPixels(home.height(), dpi)));

  // The text grows with the maximised picture, but never so far that its rows (50
  // units apart, markers on) touch or a marker heading runs into the next column.
  for (const QSize size : {QSize(1366, 700), QSize(1920, 1040), QSize(3840, 2100)}) {
    SCOPED_TRACE(size.width());
    window->resize(size);
    window->FormResize(FormState::Maximized);
    EXPECT_EQ(pic.geometry(), QRect(0, toolbar, size.width(), size.height() - toolbar));
    const float font = window->Display().fontScale;
    EXPECT_GT(font, 1.0f);
    EXPECT_LE(font, static_cast<float>(PixelsToTwips(size.width(), dpi) / 6015 * 0.65));
    QImage image(pic.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas canvas(painter, QRectF(image.rect()));
    canvas.SetScale(GraphScale(true));
    canvas.SetFontSize(kBaseFontSize * font);
    EXPECT_LE(canvas.TextHeight("Ag"), 50.0);
    EXPECT_LE(canvas.TextWidth("D_MKR"), 80.0);
    EXPECT_LE(canvas.TextWidth("Freq.(MHz)"), 110.0);
  }
  const QRect maximised = pic.geometry();
  window->resize(900, 600);
  window->FormResize(FormState::Minimized);
  EXPECT_EQ(pic.geometry(), maximised);
  window->FormResize(FormState::Normal);
  EXPECT_EQ(pic.geometry().size(),
            QSize(TwipsToPixels(home.width(), dpi), TwipsToPixels(home.height(), dpi)));
  EXPECT_EQ(window->Display().fontScale, 1.0f);

  window->resize(1366, 700);
  Key("btnSetting")->trigger();
  SettingPanel& setting = window->Settings();
  ASSERT_TRUE(setting.isVisibleTo(window.get()));
  const int margin = TwipsToPixels(80, dpi);
  EXPECT_EQ(setting.x(), 1366 - setting.width() - margin);
  EXPECT_TRUE(setting.fraSASetting->isVisibleTo(&setting));
  EXPECT_FALSE(setting.fraEMCSetting->isVisibleTo(&setting));
  EXPECT_FALSE(setting.cmdEMISteps->isVisibleTo(&setting));
  EXPECT_EQ(setting.cmdOK1->y(),
            setting.fraSASetting->geometry().bottom() + 1 + TwipsToPixels(15, dpi));
  EXPECT_EQ(setting.height(),
            setting.cmdOK1->y() + setting.cmdOK1->height() + TwipsToPixels(40, dpi));
  EXPECT_LE(setting.geometry().bottom(), 700);

  Connect();
  Key("btnMarker")->trigger();
  MarkerPanel& marker = window->Markers();
  ASSERT_TRUE(marker.isVisibleTo(window.get()));
  EXPECT_EQ(marker.x(), 1366 - setting.width() - marker.width() - margin);
  Find<QPushButton>("cmdOK1")->click();
  EXPECT_FALSE(setting.isVisibleTo(window.get()));
  window->resize(1400, 700);
  window->FormResize(FormState::Normal);  // a hidden window gets no resize events
  EXPECT_EQ(marker.x(), 1400 - marker.width() - margin);

  // EMI mode: the EMI parts of the Setting panel and the EMI marker panel.
  Key("btnSetting")->trigger();
  Key("btnEMCMode")->trigger();
  EXPECT_TRUE(setting.fraEMCSetting->isVisibleTo(&setting));
  EXPECT_FALSE(setting.fraSASetting->isVisibleTo(&setting));
  EXPECT_TRUE(setting.cmdEMISteps->isVisibleTo(&setting));
  EXPECT_TRUE(setting.cmdOpenStorage->isEnabled());
  EXPECT_FALSE(marker.isVisibleTo(window.get()));
  EXPECT_TRUE(Find<QWidget>("fraEMCMarker")->isVisibleTo(window.get()));
  Find<QPushButton>("cmdOK3")->click();
  EXPECT_FALSE(Key("btnMarker")->isChecked());
  EXPECT_FALSE(Find<QWidget>("fraEMCMarker")->isVisibleTo(window.get()));
}

TEST_F(WindowSimTest, SettingFieldsCheckTheirInput) {
  SettingPanel& s = window->Settings();
  Key("btnSetting")->trigger();
  ASSERT_FALSE(s.isHidden());
  s.Combo1->setEditText("0");
  Leave(s.Combo1);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text,
            "Port number is from 1 to 16!\r\nPlease key in a correct number.");
  EXPECT_EQ(s.Combo1->currentText(), "0");
  s.Combo1->setEditText("17");
  Leave(s.Combo1);
  EXPECT_EQ(s.Combo1->currentText(), "16");
  notifier.messages.clear();
  s.Combo1->setCurrentIndex(4);
  emit s.Combo1->activated(4);
  Leave(s.Combo1);
  EXPECT_EQ(ComPortNumber, 5);
  EXPECT_TRUE(notifier.messages.empty());

  s.cboSamplingRate->setEditText("0.05");
  EXPECT_EQ(window->SamplingRate(), 1.0);
  Leave(s.cboSamplingRate);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text,
            "Sampling rate is from 0.1 to 60 seconds.!\r\nPlease key in a correct number.");
  EXPECT_EQ(window->SamplingRate(), 1.0);
  s.cboSamplingRate->setEditText("0.5");
  EXPECT_EQ(window->SamplingRate(), 0.5);
  s.cboSamplingRate->setCurrentIndex(3);
  emit s.cboSamplingRate->activated(3);
  EXPECT_EQ(window->SamplingRate(), 10.0);

  notifier.messages.clear();
  s.Text1->setText("101");
  Leave(s.Text1);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text,
            "Index range is from 1 to 100!\r\nPlease key in a correct number.");
  EXPECT_EQ(s.Text1->text(), "1");
  s.Text1->setText("50");
  Leave(s.Text1);
  EXPECT_EQ(notifier.messages.size(), 1u);

  int debugShown = 0;
  window->showDebugWindow = [&] { ++debugShown; };
  s.chkDebug->click();
  EXPECT_EQ(debugShown, 1);
  s.chkDebug->click();  // unticked: nothing to show
  EXPECT_EQ(debugShown, 1);

  // The colour swatch: a cancel changes nothing, a choice recolours memory traces.
  const Rgb before = window->Display().storedColor;
  s.chooseColor = [](Rgb) { return std::nullopt; };
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(s.Label3, &press);
  EXPECT_EQ(window->Display().storedColor, before);
  s.chooseColor = [](Rgb) { return std::optional<Rgb>(MakeRgb(255, 0, 0)); };
  QApplication::sendEvent(s.Label3, &press);
  EXPECT_EQ(window->Display().storedColor, MakeRgb(255, 0, 0));
  EXPECT_EQ(s.Label3->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST_F(WindowSimTest, FolderPickersFollowEachOther) {
  SettingPanel& s = window->Settings();
  EXPECT_EQ(s.txtRecFolder->text(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
  QTemporaryDir temp;
  ASSERT_TRUE(QDir(temp.path()).mkdir("records"));
  s.SetFolder(temp.path());
  EXPECT_EQ(s.txtRecFolder->text(), QDir(temp.path()).absolutePath());
  EXPECT_EQ(s.RecordFolder, s.txtRecFolder->text());
  const QList<QListWidgetItem*> sub = s.Dir1->findItems("records", Qt::MatchExactly);
  ASSERT_EQ(sub.size(), 1);
  emit s.Dir1->itemActivated(sub[0]);
  EXPECT_EQ(s.RecordFolder, QDir(temp.path()).absoluteFilePath("records"));
  const QList<QListWidgetItem*> up = s.Dir1->findItems("..", Qt::MatchExactly);
  ASSERT_EQ(up.size(), 1);
  emit s.Dir1->itemActivated(up[0]);
  EXPECT_EQ(s.RecordFolder, QDir(temp.path()).absolutePath());
  // A folder that does not exist leaves everything as it was.
  s.SetFolder(temp.path() + "/missing");
  EXPECT_EQ(s.RecordFolder, QDir(temp.path()).absolutePath());
  // A drive picked: the folder list shows its root.
  ASSERT_GE(s.Drive1->count(), 1);
  emit s.Drive1->driveChanged(s.Drive1->itemText(0));
  EXPECT_EQ(s.txtRecFolder->text(), QDir(s.Drive1->itemText(0)).absolutePath());
}

TEST_F(WindowSimTest, TwoRefusedFieldsNeverPullTheFocusBetweenThem) {
  window->show();
  QApplication::setActiveWindow(window.get());
  Key("btnSetting")->trigger();
  SettingPanel& s = window->Settings();
  s.Combo1->setFocus();
  QApplication::processEvents();
  s.Combo1->setEditText("0");
  s.cboSamplingRate->setEditText("abc");
  s.cboSamplingRate->setFocus(Qt::TabFocusReason);
  for (int pass = 0; pass < 200; ++pass) QApplication::processEvents();
  EXPECT_EQ(notifier.messages.size(), 1u);  // the port refusal, once
  EXPECT_TRUE(s.Combo1->hasFocus());

  // Closing the panel leaves no refused entry in force or on show.
  s.cmdOK1->click();
  EXPECT_EQ(s.Combo1->currentText(), "1");
  EXPECT_EQ(s.cboSamplingRate->currentText(), "1");
  EXPECT_EQ(ComPortNumber, 1);
  EXPECT_EQ(window->SamplingRate(), 1.0);
}

TEST_F(WindowSimTest, TypedListTextWithEnterIsNeitherAPickNorAnItem) {
  SettingPanel& s = window->Settings();
  Connect();
  struct Case {
    QComboBox* list;
    const char* text;
  };
  for (const Case& c : {Case{s.Combo1, "99"}, Case{s.cboSamplingRate, "0"},
                        Case{s.cboSamplingRate, "abc"}, Case{List("cboAmpScale"), "3"},
                        Case{List("cboRBW"), "7KHz"}, Case{List("cboAmpUnit"), "dBW"}}) {
    const int items = c.list->count();
    c.list->setEditText(QString::fromLatin1(c.text));
    Enter(c.list);
    EXPECT_EQ(c.list->count(), items) << c.text;
  }
  EXPECT_EQ(ComPortNumber, 1);
  EXPECT_EQ(window->SamplingRate(), 1.0);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(WindowSimTest, MarkerHandlesStayWithTheDrawnGraphAfterAChangeCycle) {
  window->show();
  Connect();
  Key("btnCapture")->trigger();
  Key("btnMarker")->trigger();
  Find<QCheckBox>("chkMMkr_0")->click();
  Box("txtMkr_0")->setText("150");  // inside both the drawn and the new range
  Enter(Box("txtMkr_0"));
  QWidget* handle = Find<QWidget>("picMKR_0");
  QWidget* graph = Find<QWidget>("Pic1");
  graph->grab();
  const QPoint before = handle->pos();

  Key("btnControl")->trigger();
  Box("txtFreqStart")->setText("100");
  Box("txtFreqStop")->setText("200");
  Find<QPushButton>("cmdOKControl")->click();
  ASSERT_EQ(window->Display().settings.FreqStop, 200.0);
  graph->grab();  // a paint from state, as an expose would bring
  EXPECT_TRUE(handle->isVisible());
  EXPECT_EQ(handle->pos(), before);
}

TEST_F(WindowSimTest, ArrowKeysMoveOnlyAPickedMarkerWithoutModifiers) {
  Connect();
  Key("btnCapture")->trigger();
  Key("btnMarker")->trigger();
  Find<QCheckBox>("chkMMkr_0")->click();
  QLineEdit* frequency = Box("txtMkr_0");
  frequency->setText("1500");
  Enter(frequency);
  const QString placed = frequency->text();
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(window.get(), &event);
  };
  press(Qt::Key_Right, Qt::NoModifier);  // nothing picked yet
  EXPECT_EQ(frequency->text(), placed);
  window->Markers().SetSelectedMarker(0);
  press(Qt::Key_Right, Qt::ShiftModifier);
  press(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(frequency->text(), placed);
  press(Qt::Key_Right, Qt::NoModifier);
  const double moved = NumericValue(frequency->text().toStdString());
  EXPECT_NEAR(moved - NumericValue(placed.toStdString()), 6.0, 0.01);  // 3000 MHz / 500
  press(Qt::Key_Left, Qt::NoModifier);
  EXPECT_NEAR(NumericValue(frequency->text().toStdString()), NumericValue(placed.toStdString()),
              0.01);
}

TEST_F(WindowSimTest, AnyTextInAnyFieldNeverBreaksTheWindow) {
  Connect();
  const char* texts[] = {"",    "abc", "1e999", "-1e999", "-0",  "99999999999999999999",
                         "NaN", "inf", " 7 ",   "1.2.3",  "--5", "\t"};
  for (const char* name :
       {"txtFreqStart", "txtFreqStop", "txtFreqCenter", "txtSpan", "txtAmpRefLevel"}) {
    for (const char* text : texts) {
      QLineEdit* box = Box(name);
      box->setText(QString::fromLatin1(text));
      Leave(box);
      const double left = NumericValue(box->text().toStdString());
      EXPECT_TRUE(std::isfinite(left)) << name << " '" << text << "'";
      Enter(box);
      EXPECT_TRUE(std::isfinite(NumericValue(box->text().toStdString())));
    }
  }
  SettingPanel& s = window->Settings();
  for (const char* text : texts) {
    s.Combo1->setEditText(QString::fromLatin1(text));
    Leave(s.Combo1);
    s.cboSamplingRate->setEditText(QString::fromLatin1(text));
    Leave(s.cboSamplingRate);
    s.Text1->setText(QString::fromLatin1(text));
    Leave(s.Text1);
    EXPECT_GE(window->SamplingRate(), 0.1);
    EXPECT_LE(window->SamplingRate(), 60.0);
  }
  for (const auto& message : notifier.messages) {
    EXPECT_NE(message.icon, MessageIcon::Critical) << message.text;
  }
  EXPECT_EQ(notifier.busyDepth, 0);
  EXPECT_TRUE(window->Identified());
}

TEST_F(WindowSimTest, KeyboardTabOrderEscapeAndPanelsToTheFront) {
  Connect();
  // The next widget Tab reaches (a list's own text field is part of the list).
  auto nextStop = [](QWidget* from) {
    QWidget* next = from->nextInFocusChain();
    while (next != from && (!(next->focusPolicy() & Qt::TabFocus) || from->isAncestorOf(next))) {
      next = next->nextInFocusChain();
    }
    return next;
  };
  QLineEdit* start = Box("txtFreqStart");
  EXPECT_EQ(nextStop(start), Box("txtFreqStop"));
  EXPECT_EQ(nextStop(Box("txtSpan")), Box("txtAmpRefLevel"));
  EXPECT_EQ(nextStop(Box("txtAmpRefLevel")), List("cboAmpUnit"));
  EXPECT_EQ(nextStop(List("cboVBW")), Find<QPushButton>("cmdOKControl"));

  window->show();
  QApplication::setActiveWindow(window.get());
  Key("btnControl")->trigger();
  Key("btnSetting")->trigger();
  // A click on a panel brings it over the others.
  QWidget& control = window->Control();
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&control, &click);
  const QObjectList& order = window->children();
  EXPECT_GT(order.indexOf(&control), order.indexOf(&window->Settings()));

  start->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), start);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(start, &escape);
  EXPECT_FALSE(control.isVisible());
  EXPECT_FALSE(Key("btnControl")->isChecked());
  EXPECT_TRUE(window->Settings().isVisible());  // only the panel with the keyboard closes

  window->Settings().Text1->setFocus();
  QApplication::processEvents();
  QApplication::sendEvent(window->Settings().Text1, &escape);
  EXPECT_FALSE(window->Settings().isVisible());
  EXPECT_FALSE(Key("btnSetting")->isChecked());
  EXPECT_TRUE(port->Received().empty());
}

TEST_F(WindowSimTest, MemoryTraceFetchDrawsInTheSwatchColour) {
  Connect();
  SettingPanel& s = window->Settings();
  s.chooseColor = [](Rgb) { return std::optional<Rgb>(MakeRgb(255, 0, 255)); };
  s.PickColor();
  s.Text1->setText("2");
  window->DrawStoredFromUnit();
  ASSERT_FALSE(Commands().empty());
  EXPECT_EQ(Commands().front(), "meas:tra:switch:stored 2");
  const RawTrace& slot = window->Display().storedTraces[1];
  EXPECT_TRUE(slot.Valid());
  EXPECT_EQ(slot.Colour(), MakeRgb(255, 0, 255));
  const QImage image = window->Graph().grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_GE(PeakColumn(image, qRgb(255, 0, 255)), 0);

  // An empty slot says so and leaves nothing on the graph.
  notifier.messages.clear();
  s.Text1->setText("9");
  window->DrawStoredFromUnit();
  EXPECT_TRUE(notifier.Shown("Stored trace (9) is empty."));
  EXPECT_FALSE(window->Display().storedTraces[8].Valid());
}

TEST_F(WindowSimTest, ClearAndCloseStopTheDrawing) {
  Connect();
  Key("btnCapture")->trigger();
  ASSERT_GE(PeakColumn(window->Graph().grab().toImage(), qRgb(0, 255, 0)), 0);
  Key("btnClear")->trigger();
  for (const RawTrace& t : window->Display().liveTraces) {
    EXPECT_TRUE(std::all_of(t.Points().begin(), t.Points().end(), [](auto p) { return p == 0; }));
  }
  window->close();
  EXPECT_TRUE(ClosingFlag);
  EXPECT_TRUE(window->Display().closing);
}

// What the graph shows from the last refresh: its header values, time stamp and trace.
std::string Picture(const DisplayState& d) {
  const AnalyzerSettings& s = d.settings;
  std::string text = s.TimeStamp + "|" + std::to_string(s.FreqStart) + "|" +
                     std::to_string(s.FreqStop) + "|" + s.Span + "|" + s.RBW + "|" + s.VBW + "|";
  for (std::int16_t p : d.liveTraces[0].Points()) text += std::to_string(p) + ",";
  return text;
}

TEST_F(WindowSimTest, LinkLostMidCaptureKeepsThePictureAndDisconnects) {
  Connect();
  Key("btnCapture")->trigger();
  const std::string good = Picture(window->Display());
  clock.Advance(5000);
  model->Faults().vanishAfter = 4;  // gone while the settings are read
  Key("btnCapture")->trigger();
  EXPECT_EQ(notifier.Texts(),
            std::vector<std::string>{"The connection to the analyzer on COM1 was lost."});
  EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
  EXPECT_FALSE(Key("btnCapture")->isEnabled());
  EXPECT_EQ(Picture(window->Display()), good);

  // The analyzer is back: the first connect finds it.
  model->Faults().vanished = false;
  notifier.messages.clear();
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(notifier.messages.empty());

  // Gone while idle: the next Capture says so instead of doing nothing.
  model->Faults().vanished = true;
  Key("btnCapture")->trigger();
  EXPECT_EQ(notifier.messages.size(), 1u);
  EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
}

TEST_F(WindowSimTest, SilentAnalyzerLeavesTheLastGoodPictureAndSaysWhy) {
  Connect();
  Key("btnCapture")->trigger();
  const std::string good = Picture(window->Display());
  clock.Advance(5000);
  model->Faults().silent = true;
  notifier.statuses.clear();
  Key("btnCapture")->trigger();
  EXPECT_EQ(Picture(window->Display()), good);
  EXPECT_NE(std::find(notifier.statuses.begin(), notifier.statuses.end(),
                      "No answer from the analyzer (retrying): MEAS:REFL:UNIT?"),
            notifier.statuses.end());
  EXPECT_EQ(notifier.statuses.back(), TraceRefresh::UnansweredText("meas:tra:read all?"));
  EXPECT_TRUE(Key("btnOpenCOM")->isChecked());
}

// Escape, a second press of Capture, or a disconnect during a stalled capture end it
// after the wait it arrived in, and the refresh writes none of its partial result.
TEST_F(WindowSimTest, StopDuringStalledCaptureEndsWithinOneWaitAndWritesNothing) {
  const std::vector<std::pair<const char*, std::function<void(AnalyzerWindow&)>>> stops = {
      {"Escape",
       [](AnalyzerWindow& w) {
         QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(&w, &escape);
       }},
      {"Capture again", [](AnalyzerWindow& w) { w.ToolbarAction("btnCapture")->trigger(); }},
      {"disconnect", [](AnalyzerWindow& w) { w.ToolbarAction("btnOpenCOM")->trigger(); }},
  };
  for (const auto& [name, stop] : stops) {
    SCOPED_TRACE(name);
    Connect();
    Key("btnCapture")->trigger();
    const AnalyzerSettings good = window->Display().settings;
    clock.Advance(5000);
    model->Faults().silentAfter = 6;  // the stop frequency gets no answer
    std::uint32_t stalledFrom = 0, stoppedAt = 0;
    clock.onEvents = [&] {
      if (stalledFrom == 0 && notifier.statuses.back() == "Getting stop freq.") {
        stalledFrom = clock.NowMs();
      }
      if (stalledFrom != 0 && stoppedAt == 0 && clock.NowMs() - stalledFrom >= 300) {
        stoppedAt = clock.NowMs();
        stop(*window);
      }
    };
    Key("btnCapture")->trigger();
    clock.onEvents = nullptr;
    ASSERT_NE(stoppedAt, 0u);
    EXPECT_LE(clock.NowMs() - stoppedAt, 50u);  // one wait step at most
    EXPECT_EQ(window->Display().settings.TimeStamp, good.TimeStamp);
    EXPECT_EQ(window->Display().settings.FreqStop, good.FreqStop);
    EXPECT_FALSE(window->Refresh().TraceBusy);
    model->Faults() = {};
    if (Key("btnOpenCOM")->isChecked()) Key("btnOpenCOM")->trigger();
  }
}

}  // namespace
}  // namespace vantrel
