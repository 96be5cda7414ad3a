// frmControl and frmEScr, the 2.7 GHz EMI mode, on the simulated older analyzer and the
// virtual clock.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>

#include "app/analyzer_window.h"
#include "app/emi_panel.h"
#include "app/fake_links.h"
#include "app/sa27_emi_control.h"
#include "app/sa27_emi_display.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/legacy_dialect.h"
#include "sim/sim_serial_port.h"
#include "support/recording_notifier.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

class Sa27EmiWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("a.txt", "[general]\nname=Mains A\ndescription=first\nemimode=Conducted\nscale=10\n"
                   "rbw=120KHz\nref level=100\nfreq start=50\nfreq stop=150\n[band]\n50,150\n");
    Write("b.txt", "[general]\nname=Field B\nemimode=Radiation\n");
    Write("c.txt", "[general]\ndescription=no name, not listed\n");
    model.UseLegacyDialect(sim::LegacyOptions{});
    model.Scene() = sim::SignalScene::Quiet();
    model.Scene().tones.push_back({100e6, -20});
    display = std::make_unique<Sa27EmiDisplay>();
    control = std::make_unique<Sa27EmiControl>(Links(), display.get());
  }
  AnalyzerLinks Links() {
    AnalyzerLinks links{clock, notifier,
                        std::make_unique<sim::SimSerialPort>(
                            clock, model, sim::SimSerialOptions{.instrumentBaud = 57600}),
                        std::make_unique<testing::FakeGpib>(false),
                        std::make_unique<testing::NoHidDevices>(),
                        {},
                        [this] { return QStringList{dir.path()}; },
                        {},
                        {},
                        shared};
    return links;
  }
  void Write(const char* name, const char* text) {
    std::ofstream(dir.filePath(QString::fromLatin1(name)).toStdString()) << text;
  }
  template <typename T>
  T* Find(const char* name) {
    T* found = control->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void Open() {
    Find<QCheckBox>("chkPort")->click();
    ASSERT_TRUE(control->Link().IsOpen());
  }

  QTemporaryDir dir;
  VirtualClock clock;
  testing::RecordingNotifier notifier;
  sim::AnalyzerModel model{clock};
  std::shared_ptr<SharedEmi> shared = std::make_shared<SharedEmi>();
  std::unique_ptr<Sa27EmiDisplay> display;
  std::unique_ptr<Sa27EmiControl> control;
};

TEST_F(Sa27EmiWindowsTest, ListsEveryNamedStandardAndTakesItsReferenceLevel) {
  ASSERT_EQ(control->Entries().size(), 2u);
  EXPECT_EQ(Find<QComboBox>("cboStd")->currentText(), "Mains A");
  EXPECT_EQ(Find<QLineEdit>("txtReflvl")->text(), "100");
  EXPECT_EQ(shared->refLevel, 100);
  EXPECT_EQ(shared->standard.bands.size(), 1u);
}

TEST_F(Sa27EmiWindowsTest, CaptureDrawsTheToneAndAllToPeaksFindsIt) {
  EXPECT_FALSE(Find<QPushButton>("cmdCapture")->isEnabled());
  Open();
  Find<QPushButton>("cmdCapture")->click();
  ASSERT_EQ(shared->results.trace.size(), static_cast<std::size_t>(kEmiTracePoints));
  Find<QPushButton>("cmdPeaks")->click();
  EXPECT_NEAR(NumericValue(Find<QLineEdit>("txtEMCMkr_0")->text().toStdString()), 100, 0.5);
  EXPECT_TRUE(Find<QCheckBox>("chkEMCMMkr_0")->isChecked());
  EXPECT_NE(display->findChild<QWidget*>(QStringLiteral("picMKR_0")), nullptr);
  EXPECT_EQ(control->Graph().scaleHeight, kSa27EmiScaleHeight);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Sa27EmiWindowsTest, TypedValuesOutOfRangeAreRefused) {
  Find<QComboBox>("cboPortNo")->setEditText(QStringLiteral("17"));
  Find<QCheckBox>("chkPort")->click();
  EXPECT_FALSE(Find<QCheckBox>("chkPort")->isChecked());
  EXPECT_EQ(notifier.Texts(), std::vector<std::string>{
                                  "Port number is from 1 to 16!\r\nPlease key in a correct number."});
  Find<QComboBox>("cboPortNo")->setEditText(QStringLiteral("1"));
  Open();
  notifier.messages.clear();
  Find<QLineEdit>("txtReflvl")->setText(QStringLiteral("40"));
  Find<QPushButton>("cmdCapture")->click();
  EXPECT_EQ(notifier.Texts(),
            std::vector<std::string>{
                "Ref. level  range is from 57 to 127!\r\nPlease key in a correct number."});
  EXPECT_EQ(Find<QLineEdit>("txtReflvl")->text(), "57");
  EXPECT_TRUE(shared->results.trace.empty());
}

// The reference level and the measurement stay for the 3 GHz window, which starts its own.
TEST_F(Sa27EmiWindowsTest, TheOtherModelsWindowSharesTheReferenceLevel) {
  Find<QLineEdit>("txtReflvl")->setText(QStringLiteral("90"));
  control.reset();
  AnalyzerWindow window(Links());
  EXPECT_EQ(window.Emi().EmiRefLevel, 90);
}

}  // namespace
}  // namespace vantrel
