// frmMain, the 2.7 GHz spectrum window, on the simulated older analyzer and the virtual
// clock.
#include "app/sa27_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>

#include "app/fake_links.h"
#include "app/marker_handles.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/legacy_dialect.h"
#include "sim/sim_serial_port.h"
#include "support/recording_notifier.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

class Sa27WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.UseLegacyDialect(sim::LegacyOptions{});
    auto serial = std::make_unique<sim::SimSerialPort>(
        clock, model, sim::SimSerialOptions{.instrumentBaud = 57600});
    port = serial.get();
    window = std::make_unique<Sa27Window>(AnalyzerLinks{clock, notifier, std::move(serial),
                                                        std::make_unique<testing::FakeGpib>(false),
                                                        std::make_unique<testing::NoHidDevices>()});
  }
  template <typename T>
  T* Find(const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void Click(const char* name) { Find<QPushButton>(name)->click(); }
  void Type(const char* name, const char* text) {
    auto* box = Find<QLineEdit>(name);
    box->setText(QString::fromLatin1(text));
    emit box->editingFinished();
  }
  void Open() {
    Click("cmdOpen");
    ASSERT_TRUE(window->Link().IsOpen());
  }

  VirtualClock clock;
  testing::RecordingNotifier notifier;
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort* port = nullptr;
  std::unique_ptr<Sa27Window> window;
};

TEST_F(Sa27WindowTest, CaptureDrawsTheToneAtItsFrequency) {
  Open();
  Type("txtMkr_0", "100");
  Find<QCheckBox>("chkMMkr_0")->setChecked(true);
  Click("cmdCapture");
  EXPECT_EQ(window->windowTitle(), "2.7GHz SA");
  EXPECT_EQ(window->State().settings.FreqStop, 2700);
  EXPECT_TRUE(window->State().liveTraces[0].Valid());
  // Marker 0 at 100 MHz sits on the -20 dBm tone.
  EXPECT_NEAR(window->Markers().table[0].level, -20, 3);
  EXPECT_TRUE(notifier.messages.empty());
}

// A marker picture dropped mid-graph moves its marker to the point under it.
TEST_F(Sa27WindowTest, DroppedMarkerPictureMovesTheMarker) {
  Open();
  Find<QCheckBox>("chkMMkr_0")->setChecked(true);
  Click("cmdCapture");
  window->resize(820, 640);
  window->show();
  QCoreApplication::processEvents();
  auto* handle = Find<MarkerHandle>("picMKR_0");
  ASSERT_TRUE(handle->isVisible());
  QWidget* pic = Find<QWidget>("Pic1");
  handle->dropped(0, QPoint(pic->width() / 2, pic->height() / 3));
  // Mid-picture is x 240 of the graph's 500 points over 0..2700 MHz.
  EXPECT_NEAR(NumericValue(Find<QLineEdit>("txtMkr_0")->text().toStdString()), 1296, 6);
}

TEST_F(Sa27WindowTest, StoredTraceDrawOrEmptyMessage) {
  Open();
  const struct {
    const char* index;
    const char* message;  // "" for none
    bool valid;
  } cases[] = {{"1", "", true},
               {"7", "Stored trace (7) is empty.", false},
               {"101", "Index range is from 1 to 100!\r\nPlease key in a correct number.", false},
               {"abc", "Index range is from 1 to 100!\r\nPlease key in a correct number.", true}};
  for (const auto& c : cases) {
    notifier.messages.clear();
    Find<QLineEdit>("Text1")->setText(QString::fromLatin1(c.index));
    Click("cmdDraw");
    EXPECT_EQ(notifier.Texts(),
              *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
        << c.index;
    const double n = std::clamp(NumericValue(c.index), 1.0, 100.0);
    EXPECT_EQ(window->State().storedTraces[static_cast<std::size_t>(n) - 1].Valid(), c.valid)
        << c.index;
  }
  EXPECT_EQ(Find<QLineEdit>("Text1")->text(), "7");  // the last index drawn comes back
}

TEST_F(Sa27WindowTest, LimitLinesNeedGetLimitFirst) {
  Open();
  auto* higher = Find<QCheckBox>("chkHLimit");
  auto* lower = Find<QCheckBox>("chkLLimit");
  higher->click();
  lower->click();
  EXPECT_EQ(notifier.Texts(), (std::vector<std::string>{"You must get higher limit line first.",
                                                        "You must get lower limit line first."}));
  EXPECT_FALSE(higher->isChecked() || lower->isChecked());

  Click("cmdGetLimit");
  EXPECT_EQ(window->HigherLimit().size(), 4u);
  EXPECT_EQ(window->LowerLimit().size(), 2u);
  higher->click();
  EXPECT_TRUE(higher->isChecked());
  EXPECT_TRUE(window->State().higherLimitChecked);
  EXPECT_EQ(notifier.messages.size(), 2u);
}

TEST_F(Sa27WindowTest, TypedValuesOutOfRangeAreRefused) {
  const std::string port = "Port number is from 1 to 16!\r\nPlease key in a correct number.";
  for (const char* text : {"17", "0", "abc", "1e999"}) {
    notifier.messages.clear();
    Find<QComboBox>("Combo1")->setEditText(QString::fromLatin1(text));
    Click("cmdOpen");
    EXPECT_EQ(notifier.Texts(), std::vector<std::string>{port}) << text;
    EXPECT_FALSE(window->Link().IsOpen()) << text;
  }
  const std::string range = "Freq. range is from 0 to 2700MHz!\r\nPlease key in a correct number.";
  const struct {
    const char* typed;
    const char* kept;
  } markers[] = {{"2800", "2700"}, {"-5", "0"}, {"2700", "2700"}};
  for (const auto& m : markers) {
    notifier.messages.clear();
    Type("txtMkr_1", m.typed);
    EXPECT_EQ(Find<QLineEdit>("txtMkr_1")->text(), m.kept) << m.typed;
    EXPECT_EQ(notifier.messages.size(), std::string(m.typed) == m.kept ? 0u : 1u) << m.typed;
  }
  EXPECT_EQ(notifier.Texts().size(), 0u);
  Type("txtMkr_1", "3000");
  EXPECT_EQ(notifier.Texts(), std::vector<std::string>{range});
}

TEST_F(Sa27WindowTest, SaveWritesTheTableOrThePicture) {
  Open();
  Click("cmdCapture");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const struct {
    const char* type;
    const char* file;
    const char* starts;  // the file's first bytes
  } cases[] = {{"Text", "a.txt", ""},
               {"BMP", "a.bmp", "BM"},
               {"JPG", "a.jpg", "\xFF\xD8"},
               {"PNG", "a.png", "\x89PNG"}};
  for (const auto& c : cases) {
    Find<QComboBox>("cboSaveType")->setCurrentText(QString::fromLatin1(c.type));
    const QString path = dir.filePath(QString::fromLatin1(c.file));
    QString filter;
    window->chooseSaveFile = [&](const QString& f) {
      filter = f;
      return path;
    };
    Click("cmdSave");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.file;
    const QByteArray bytes = file.readAll();
    EXPECT_GT(bytes.size(), 100) << c.file;
    EXPECT_TRUE(bytes.startsWith(QByteArray(c.starts))) << c.file;
    EXPECT_TRUE(filter.contains(QString::fromLatin1(c.file).mid(1))) << c.file;
  }
  EXPECT_TRUE(notifier.messages.empty());
}

// A click inside a wait: a second capture is ignored, Quit stops the exchange at once and
// the window closes once it has unwound.
TEST_F(Sa27WindowTest, QuitDuringASilentCaptureEndsItWithoutWaitingOut) {
  Open();
  window->show();
  model.Faults().silent = true;
  int clicks = 0;
  clock.onEvents = [&] {
    if (++clicks == 1) Click("cmdCapture");
    if (clicks == 2) Click("cmdQuit");
  };
  const auto start = clock.NowMs();
  Click("cmdCapture");
  clock.onEvents = nullptr;
  EXPECT_LT(clock.NowMs() - start, 10000u);
  EXPECT_FALSE(window->Link().CommunicationFailed());
  QCoreApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->Link().IsOpen());
}

TEST_F(Sa27WindowTest, SilentAnalyzerGivesCommunicationError) {
  model.Faults().silent = true;
  Click("cmdOpen");
  EXPECT_EQ(notifier.Texts(), std::vector<std::string>{"Communication Error!"});
  EXPECT_FALSE(window->Link().IsOpen());
}

}  // namespace
}  // namespace vantrel
