// vantrel-cli against vantrel-sim on a real pty: each command end to end, its output and
// its exit codes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "e2e/sim_process.h"
#include "display/waterfall_colours.h"
#include "files/sp3_file.h"
#include "platform/durable_record_store.h"

namespace vantrel {
namespace {

struct CliRun {
  int exitCode = -1;
  QString out;
  QString err;
};

class CliE2e : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim.Ready()) << sim.Errors().toStdString(); }

  CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VANTREL_CLI_PROGRAM),
            QStringList{QStringLiteral("--serial-device"), link} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }

  QTemporaryDir dir;
  QString link = dir.filePath(QStringLiteral("analyzer"));
  // The analyzer at the first rate tried, answering at once: the waits are the program's.
  testing::SimProcess sim{link, {QStringLiteral("--baud"), QStringLiteral("57600"),
                                 QStringLiteral("--no-pacing")}};
};

TEST_F(CliE2e, IdentifyAndSettingsPrintWhatTheAnalyzerSays) {
  const CliRun id = Cli({QStringLiteral("identify")});
  EXPECT_EQ(id.exitCode, 0) << id.err.toStdString();
  EXPECT_TRUE(id.out.startsWith(QStringLiteral("identity=VANTREL,"))) << id.out.toStdString();

  const CliRun settings = Cli({QStringLiteral("--json"), QStringLiteral("settings")});
  EXPECT_EQ(settings.exitCode, 0);
  EXPECT_TRUE(settings.out.contains(QStringLiteral("\"freq_stop_mhz\": 3000"))) << settings.out.toStdString();
}

TEST_F(CliE2e, CaptureWithASpanChangeShowsTheToneAtItsFrequency) {
  const QString out = dir.filePath(QStringLiteral("capture.txt"));
  const CliRun run = Cli({QStringLiteral("capture"), QStringLiteral("--center"), QStringLiteral("432"),
                       QStringLiteral("--span"), QStringLiteral("20"), QStringLiteral("--out"), out});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  QFile file(out);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  double peakFreq = 0, peakLevel = -1e9;
  int points = 0;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> cells = line.trimmed().split(',');
    bool f = false, l = false;
    const double freq = cells.value(0).toDouble(&f), level = cells.value(1).toDouble(&l);
    if (!f || !l || cells.size() != 2 || freq < 400) continue;
    ++points;
    if (level > peakLevel) peakFreq = freq, peakLevel = level;
  }
  EXPECT_EQ(points, 501);
  EXPECT_NEAR(peakFreq, 433.92, 0.1);  // the simulated scene's strongest tone near 432 MHz
}

TEST_F(CliE2e, RecordWritesRecordsTheReaderReadsAndCtrlCEndsCleanly) {
  const CliRun run = Cli({QStringLiteral("record"), QStringLiteral("--rate"), QStringLiteral("0.1"),
                       QStringLiteral("--records"), QStringLiteral("2"), QStringLiteral("--folder"),
                       dir.path()});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QString path = run.out.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char('='), 1);
  DurableRecordStore store;
  EXPECT_EQ(CountSp3Records(store, path.toStdString()), 2u);

  // Ctrl-C while recording without an end: the recording ends after the record in hand.
  QProcess p;
  p.start(QStringLiteral(VANTREL_CLI_PROGRAM),
          {QStringLiteral("--serial-device"), link, QStringLiteral("record"), QStringLiteral("--rate"),
           QStringLiteral("0.5"), QStringLiteral("--duration"), QStringLiteral("600"),
           QStringLiteral("--folder"), dir.path()});
  ASSERT_TRUE(p.waitForStarted());
  for (int i = 0; i < 300 && QDir(dir.path()).entryList({QStringLiteral("*.sp3")}).size() < 2; ++i)
    p.waitForFinished(100);
  ::kill(static_cast<pid_t>(p.processId()), SIGINT);
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  const QString second = QString::fromUtf8(p.readAllStandardOutput()).section('\n', 0, 0).section('=', 1);
  const std::uint64_t records = CountSp3Records(store, second.toStdString());
  ASSERT_GE(records, 1u);
  std::string error;
  for (std::uint64_t k = 1; k <= records; ++k)
    EXPECT_TRUE(ReadSp3Record(store, second.toStdString(), k, error)) << error;
}

TEST_F(CliE2e, FailuresHaveTheirExitCodesAndLeaveNoFile) {
  const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/capture.txt"));
  const struct {
    QStringList args;
    int exitCode;
  } cases[] = {
      {{QStringLiteral("capture"), QStringLiteral("--span"), QStringLiteral("wide")}, 1},
      {{QStringLiteral("capture"), QStringLiteral("--out"), unwritable}, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli(c.args).exitCode, c.exitCode) << c.args.join(' ').toStdString();
  EXPECT_FALSE(QFile::exists(unwritable));

  QProcess missing;
  missing.start(QStringLiteral(VANTREL_CLI_PROGRAM),
                {QStringLiteral("--serial-device"), dir.filePath(QStringLiteral("none")), QStringLiteral("identify")});
  missing.waitForFinished(30000);
  EXPECT_EQ(missing.exitCode(), 2);
}

TEST(CliEmi, AConductedScanOfTheDeviceNamesTheEmissionAboveTheLimitAndFailsOnRequest) {
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("analyzer"));
  testing::SimProcess sim{link, {QStringLiteral("--baud"), QStringLiteral("57600"), QStringLiteral("--no-pacing"),
                                 QStringLiteral("--scene"), QStringLiteral("emi")}};
  ASSERT_TRUE(sim.Ready());
  QFile standard(dir.filePath(QStringLiteral("b.txt")));
  ASSERT_TRUE(standard.open(QIODevice::WriteOnly));
  standard.write("[general]\nname=One band B\nemimode=Conducted\nregulation=T\nfreq start=0.15\n"
                 "freq stop=30\nscale=10\nref level=107\n[band]\n1=0.15,30\n[limitupper]\n1=0.15,60,30,60\n");
  standard.close();
  const QString csv = dir.filePath(QStringLiteral("results.csv"));
  QProcess p;
  p.start(QStringLiteral(VANTREL_CLI_PROGRAM),
          {QStringLiteral("--serial-device"), link, QStringLiteral("--standards"), dir.path(),
           QStringLiteral("emi"), QStringLiteral("--mode"), QStringLiteral("conducted"),
           QStringLiteral("--standard"), QStringLiteral("one band b"), QStringLiteral("--results"), csv,
           QStringLiteral("--fail-on-exceed")});
  ASSERT_TRUE(p.waitForFinished(60000));
  const QString out = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_EQ(p.exitCode(), 4) << p.readAllStandardError().toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("overall=Fail"))) << out.toStdString();
  QFile written(csv);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.readAll().contains("Fail"));

  QProcess wrong;
  wrong.start(QStringLiteral(VANTREL_CLI_PROGRAM),
              {QStringLiteral("--standards"), dir.path(), QStringLiteral("emi"), QStringLiteral("--mode"),
               QStringLiteral("conducted"), QStringLiteral("--standard"), QStringLiteral("none")});
  ASSERT_TRUE(wrong.waitForFinished(30000));
  EXPECT_EQ(wrong.exitCode(), 1);
  EXPECT_TRUE(wrong.readAllStandardError().contains("One band B"));  // the names there are
}

// Three records whose trace 1 reaches the reference level at point 250 (a tone) and lies
// at the bottom line elsewhere; the last has the tone at point 100.
TEST(CliWaterfall, ARecordingBecomesRowsOfColourNewestAtTheTop) {
  QTemporaryDir dir;
  const QString source = dir.filePath(QStringLiteral("tone.sp3"));
  {
    DurableRecordStore store;
    for (int k = 1; k <= 3; ++k) {
      Sp3Record r;
      r.refLevel = 0;
      r.scale = 10;
      r.traces[0].SetValid(true);
      for (auto& p : r.traces[0].Points()) p = 0;
      r.traces[0].Points()[k == 3 ? 100 : 250] = 1023;
      std::string error;
      ASSERT_TRUE(WriteSp3Record(store, source.toStdString(), k, r, error)) << error;
    }
  }
  const QString png = dir.filePath(QStringLiteral("waterfall.png"));
  QProcess p;
  p.start(QStringLiteral(VANTREL_CLI_PROGRAM), {QStringLiteral("waterfall"), source, png});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  const QImage picture(png);
  ASSERT_EQ(picture.width(), 501);
  ASSERT_EQ(picture.height(), 3);
  const QRgb top = WaterfallColour(1.0) | 0xFF000000u, bottom = WaterfallColour(0.0) | 0xFF000000u;
  EXPECT_EQ(picture.pixel(100, 0), top);  // the newest record first
  EXPECT_EQ(picture.pixel(250, 0), bottom);
  EXPECT_EQ(picture.pixel(250, 2), top);
  EXPECT_EQ(picture.pixel(0, 1), bottom);
  QProcess missing;
  missing.start(QStringLiteral(VANTREL_CLI_PROGRAM),
                {QStringLiteral("waterfall"), dir.filePath(QStringLiteral("none.sp3")), png});
  ASSERT_TRUE(missing.waitForFinished(30000));
  EXPECT_EQ(missing.exitCode(), 3);
}

TEST(CliStandards, ABrokenFileIsNamedWithItsLineAndExits3) {
  QTemporaryDir dir;
  QFile good(dir.filePath(QStringLiteral("good.txt")));
  ASSERT_TRUE(good.open(QIODevice::WriteOnly));
  QFile shipped(QStringLiteral(VANTREL_STANDARD_DIR "/fcc15_class_b_conducted.txt"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  good.write(shipped.readAll());
  good.close();
  QFile broken(dir.filePath(QStringLiteral("broken.txt")));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("[general]\r\nname=Broken\r\nemimode=Conducted\r\nfreq start=abc\r\n");
  broken.close();
  QProcess p;
  p.start(QStringLiteral(VANTREL_CLI_PROGRAM),
          {QStringLiteral("--standards"), dir.path(), QStringLiteral("standards"), QStringLiteral("--check")});
  p.waitForFinished(30000);
  EXPECT_EQ(p.exitCode(), 3);
  const QString out = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_TRUE(out.contains(QStringLiteral("FCC Part 15"))) << out.toStdString();
  EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("broken.txt line 4")));
}

}  // namespace
}  // namespace vantrel
