// The settings files as the analyzer window reads and writes them, in a folder of the
// test's own.
#include "app/settings_files.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/analyzer_window.h"
#include "app/waterfall_splitter.h"
#include "app/fake_links.h"
#include "app/process_globals.h"
#include "app/setting_panel.h"
#include "link/virtual_clock.h"
#include "platform/small_file.h"

namespace vantrel {
namespace {

using testing::FakeGpib;
using testing::NoHidDevices;
using testing::RecordingNotifier;
using testing::ScriptedSerialPort;

class SettingsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { DontShowEMISteps = 0; }
  void TearDown() override {
    window.reset();
    DontShowEMISteps = 0;
    ClosingFlag = false;
  }
  QString Path(const char* name) const { return QDir(dir.path()).filePath(name); }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Read(const char* name) {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Build() {
    AnalyzerLinks links{clock, notifier, std::make_unique<ScriptedSerialPort>(),
                        std::make_unique<FakeGpib>(false), std::make_unique<NoHidDevices>(), {}};
    links.settingsPath = [this](const QString& name) {
      ++pathAsked[name];
      return QDir(dir.path()).filePath(name);
    };
    window = std::make_unique<AnalyzerWindow>(std::move(links));
    window->showEmiSteps = [] {};
  }
  template <typename T>
  T* Control(const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QTemporaryDir dir;
  VirtualClock clock;
  RecordingNotifier notifier;
  std::map<QString, int> pathAsked;
  std::unique_ptr<AnalyzerWindow> window;
};

TEST_F(SettingsFilesTest, WhatIsWrittenComesBackAfterARestart) {
  Build();
  Control<QRadioButton>("optUSB")->setChecked(true);
  Control<QComboBox>("Combo1")->setEditText("7");
  Control<QComboBox>("cboGPIB")->setCurrentText("12");
  Control<QRadioButton>("optSave_2")->setChecked(true);
  Control<QComboBox>("cboSamplingRate")->setEditText("2.5");
  Control<QCheckBox>("chkLLimit")->setChecked(true);
  Control<QLineEdit>("txtReflvl")->setText("90");
  Control<QCheckBox>("chkThreshold")->setChecked(true);
  Control<QLineEdit>("txtThreshold")->setText("-6.5");
  Control<QCheckBox>("chkWaterfall")->setChecked(true);
  Control<QComboBox>("cboWaterfallRows")->setEditText("200");
  Control<WaterfallSplitter>("splWaterfall")->SetWaterfallHeight(150);
  window->close();
  const QList<QByteArray> lines = Read("SAV61Setting.ini").split('\n');
  ASSERT_EQ(lines.size(), kWindowSettingCount + 1);  // every line ends in CR LF
  for (int i = 0; i < kWindowSettingCount; ++i) {
    EXPECT_TRUE(lines[i].startsWith(QByteArray(kWindowSettings[static_cast<std::size_t>(i)].key) + "="));
    EXPECT_TRUE(lines[i].endsWith('\r')) << i;
  }
  EXPECT_EQ(lines[1], "USBSel=True\r");
  EXPECT_EQ(lines[4 - 1], "COMNO=7\r");
  EXPECT_EQ(lines[27], "EMC_StoredColor=16777088\r");
  EXPECT_EQ(lines[16 - 1], "LLimit=1\r");  // a ticked box is 1, as other programs write it

  window.reset();
  Build();
  EXPECT_EQ(Control<QComboBox>("Combo1")->currentText(), "7");
  EXPECT_EQ(Control<QComboBox>("cboGPIB")->currentText(), "12");
  EXPECT_TRUE(Control<QRadioButton>("optSave_2")->isChecked());
  EXPECT_EQ(Control<QComboBox>("cboSamplingRate")->currentText(), "2.5");
  EXPECT_TRUE(Control<QCheckBox>("chkLLimit")->isChecked());
  EXPECT_EQ(Control<QLineEdit>("txtReflvl")->text(), "90");
  EXPECT_TRUE(Control<QCheckBox>("chkThreshold")->isChecked());
  EXPECT_EQ(Control<QLineEdit>("txtThreshold")->text(), "-6.5");
  EXPECT_TRUE(Control<QCheckBox>("chkWaterfall")->isChecked());
  EXPECT_EQ(window->History().Capacity(), 200u);
  EXPECT_EQ(Control<WaterfallSplitter>("splWaterfall")->WaterfallHeight(), 150);
  EXPECT_TRUE(Control<QRadioButton>("OptCOM")->isChecked());  // the preselection wins
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SettingsFilesTest, ABadValueCostsOnlyItsOwnSettingAndNamesIt) {
  Write("SAV61Setting.ini",
        "COMNO=9\r\nSaveBMP=True\r\nSaveJPG=maybe\r\nrecordfolder=/no/such/folder\r\n"
        "HLIMIT = 1\r\nEMC_Mode=radiation\r\nEMC_Std=No such standard\r\nFuture=1\r\n");
  Build();
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
  EXPECT_NE(notifier.messages[0].text.find("line 3: \"SaveJPG=maybe\""), std::string::npos)
      << notifier.messages[0].text;
  EXPECT_EQ(Control<QComboBox>("Combo1")->currentText(), "9");
  EXPECT_TRUE(Control<QRadioButton>("optSave_0")->isChecked());  // SaveJPG's default
  EXPECT_TRUE(Control<QCheckBox>("chkHLimit")->isChecked());
  EXPECT_EQ(Control<QComboBox>("cboEMCMode")->currentText(), "Radiation");
  EXPECT_EQ(window->Settings().RecordFolder, QCoreApplication::applicationDirPath());
}

TEST_F(SettingsFilesTest, DefaultRestoresWithoutWriting) {
  Write("SAV61Setting.ini", "COMNO=9\r\nSamplingRate=30\r\n");
  Build();
  window->Settings().cmdDefaultSetting->click();
  EXPECT_EQ(Control<QComboBox>("Combo1")->currentText(), "1");
  EXPECT_EQ(Control<QComboBox>("cboSamplingRate")->currentText(), "1");
  EXPECT_EQ(Control<QLineEdit>("txtReflvl")->text(), "107");
  EXPECT_EQ(Read("SAV61Setting.ini"), "COMNO=9\r\nSamplingRate=30\r\n");
}

TEST_F(SettingsFilesTest, BadFilesGiveDefaultsNeverACrash) {
  struct Case {
    const char* name;
    QByteArray bytes;
    bool message;
  };
  QByteArray binary(4096, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37);
  for (const Case& c : {Case{"empty", "", false}, Case{"binary", binary, false},
                        Case{"huge", QByteArray(3 << 20, 'x'), true}}) {
    Write("SAV61Setting.ini", c.bytes);
    notifier.messages.clear();
    Build();
    EXPECT_EQ(!notifier.messages.empty(), c.message) << c.name;
    EXPECT_EQ(Control<QComboBox>("Combo1")->currentText(), "1") << c.name;
    window.reset();
  }
  QFile::remove(Path("SAV61Setting.ini"));
  ASSERT_TRUE(QDir(dir.path()).mkdir("SAV61Setting.ini"));  // a folder in its place
  notifier.messages.clear();
  Build();
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_NE(notifier.messages[0].text.find("is a folder"), std::string::npos);
}

TEST_F(SettingsFilesTest, GlobalFlagRoundTripAndExitWritesOnce) {
  Write("setting.INI", "DontShowEMISteps=1\r\n");
  // The production path finder finds a file of another letter case.
  const QString found = FindFileIgnoringCase(dir.path(), "Setting.ini");
  EXPECT_TRUE(found.endsWith("setting.INI"));
  Write("Setting.ini", "DontShowEMISteps=1\r\n");
  Build();
  EXPECT_EQ(DontShowEMISteps, 1);
  DontShowEMISteps = 0;
  int ended = 0;
  window->endProgram = [&] {
    ++ended;
    window->close();
  };
  notifier.answer = MessageResult::Yes;
  pathAsked.clear();
  window->ConfirmExit();
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(pathAsked[QStringLiteral("SAV61Setting.ini")], 1);
  EXPECT_EQ(Read("Setting.ini"), "DontShowEMISteps=0\r\n");
}

TEST(SmallFile, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath("SAV61Setting.ini");
  ASSERT_TRUE(ReplaceSmallFile(path, "COMNO=3\r\n"));
  const std::string big(10000, 'x');
  int calls = 0;
  QString error;
  const bool written = ReplaceSmallFile(path, big, &error,
                                        [&](QIODevice& device, const char* data, qint64 n) {
                                          return ++calls == 1 ? device.write(data, n) : -1;
                                        });
  EXPECT_FALSE(written);
  EXPECT_FALSE(error.isEmpty());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "COMNO=3\r\n");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary left over
}

TEST_F(SettingsFilesTest, TheEmiChoicesComeBackInTheOrderThatRefillsEachList) {
  Write("SAV61Setting.ini",
        "EMC_Std=CISPR 32 / EN 55032 Class B Radiated 3 m\r\nEMC_Mode=Radiation\r\nEMC_Spot=True\r\n"
        "EMC_Presscan=False\r\nEMC_SpotCenter=150\r\nEMC_StoredFile=old.txt\r\n"
        "EMC_StoredColor=255\r\n");
  const QString shipped = QCoreApplication::applicationDirPath() + QStringLiteral("/standard");
  AnalyzerLinks links{clock, notifier, std::make_unique<ScriptedSerialPort>(),
                      std::make_unique<FakeGpib>(false), std::make_unique<NoHidDevices>(), {}};
  links.settingsPath = [this](const QString& name) { return QDir(dir.path()).filePath(name); };
  links.standardFolders = [shipped] { return QStringList{shipped}; };
  window = std::make_unique<AnalyzerWindow>(std::move(links));
  window->showEmiSteps = [] {};
  EXPECT_EQ(Control<QComboBox>("cboEMCMode")->currentText(), "Radiation");
  EXPECT_EQ(Control<QComboBox>("cboStd")->currentText(), "CISPR 32 / EN 55032 Class B Radiated 3 m");
  EXPECT_TRUE(Control<QRadioButton>("optSpot")->isChecked());
  EXPECT_EQ(Control<QLineEdit>("txtOFileName")->text(), "old.txt");
  EXPECT_EQ(window->Settings().WaveColor(), MakeRgb(255, 0, 0));
  window->close();
  const QByteArray written = Read("SAV61Setting.ini");
  for (const char* line : {"EMC_Mode=Radiation\r", "EMC_Std=CISPR 32 / EN 55032 Class B Radiated 3 m\r",
                           "EMC_Spot=True\r", "EMC_StoredColor=255\r"}) {
    EXPECT_TRUE(written.contains(line)) << line;
  }
}

}  // namespace
}  // namespace vantrel
