// vantrel-sp3-to-text on recordings on disk: the text byte for byte, exit codes, and no
// half-written or newly created files when it fails.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "files/text_tables.h"
#include "support/hand_built_record.h"
#include "support/hand_built_text.h"

namespace vantrel {
namespace {

struct CliRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

CliRun Convert(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(SP3_TO_TEXT_PROGRAM), args);
  p.waitForFinished(30000);
  return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

class Sp3ToTextCli : public ::testing::Test {
 protected:
  void SetUp() override {
    source = dir.filePath(QStringLiteral("rec.sp3"));
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    testing::Bytes record = testing::HandBuiltRecord();
    record.resize(3160);
    file.write(reinterpret_cast<const char*>(record.data()), 3160);
    file.write(reinterpret_cast<const char*>(record.data()), 3117);
  }
  QTemporaryDir dir;
  QString source;
};

TEST_F(Sp3ToTextCli, WritesTheRecordingToAFileOrStandardOutput) {
  const std::string expected =
      Sp3TextHeader() + testing::HandBuiltRecordLine(1) + testing::HandBuiltRecordLine(2);
  const CliRun toStdout = Convert({source, QStringLiteral("-")});
  EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
  EXPECT_EQ(toStdout.out.toStdString(), expected);

  const QString target = dir.filePath(QStringLiteral("rec.txt"));
  EXPECT_EQ(Convert({source, target}).exitCode, 0);
  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), expected);
}

TEST_F(Sp3ToTextCli, FailuresNameTheCauseAndLeaveNothingBehind) {
  struct Case {
    QStringList args;
    int exitCode;
    const char* says;
  };
  const QString missing = dir.filePath(QStringLiteral("none.sp3"));
  const QString target = dir.filePath(QStringLiteral("out.txt"));
  const Case cases[] = {
      {{source}, 1, "usage"},
      {{missing, target}, 3, "does not exist"},
      {{source, source}, 3, "would replace the recording"},
      {{dir.path(), target}, 3, "is a folder"},
      {{source, dir.filePath(QStringLiteral("no/such/folder/out.txt"))}, 3, "cannot be written"},
  };
  for (const Case& c : cases) {
    const CliRun run = Convert(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.says;
    EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(missing));
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_EQ(QFile(source).size(), 3160 + 3117);
}

// Record 2 of three claims a sweep-time text longer than its slot.
QString DamagedInTheMiddle(const QTemporaryDir& dir) {
  const QString path = dir.filePath(QStringLiteral("damaged.sp3"));
  testing::Bytes record = testing::HandBuiltRecord();
  record.resize(3160);
  testing::Bytes damaged = record;
  testing::Put16(damaged, 3100, 0xFFFF);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    for (const testing::Bytes* r : {&record, &damaged, &record})
      file.write(reinterpret_cast<const char*>(r->data()), 3160);
  }
  return path;
}

TEST_F(Sp3ToTextCli, ADamagedRecordKeepsTheLinesBeforeItOnlyWhenAskedTo) {
  const QString damaged = DamagedInTheMiddle(dir);
  const QString target = dir.filePath(QStringLiteral("partial.txt"));
  const CliRun plain = Convert({damaged, target});
  EXPECT_EQ(plain.exitCode, 3);
  EXPECT_TRUE(plain.err.contains("Record 2 of")) << plain.err.toStdString();
  EXPECT_FALSE(QFile::exists(target));

  const CliRun kept = Convert({QStringLiteral("--keep-partial"), damaged, target});
  EXPECT_EQ(kept.exitCode, 3);
  EXPECT_TRUE(kept.err.contains("1 records before it were kept")) << kept.err.toStdString();
  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), Sp3TextHeader() + testing::HandBuiltRecordLine(1));
}

// A full disk, as a file size limit (files) and /dev/full (standard output): a message and
// exit 3, never a success, and no file left in the target's folder.
TEST_F(Sp3ToTextCli, AFullDiskIsAFailureThatLeavesNothingBehind) {
  QFile file(source);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  testing::Bytes record = testing::HandBuiltRecord();
  record.resize(3160);
  for (int k = 0; k < 40; ++k) file.write(reinterpret_cast<const char*>(record.data()), 3160);
  file.close();
  QTemporaryDir out;
  QProcess limited;
  limited.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("ulimit -f 64 && exec \"$0\" \"$@\""),
                 QStringLiteral(SP3_TO_TEXT_PROGRAM), source, out.filePath(QStringLiteral("t.txt"))});
  limited.waitForFinished(30000);
  EXPECT_EQ(limited.exitCode(), 3) << limited.readAllStandardError().toStdString();
  EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

  QProcess full;
  full.setStandardOutputFile(QStringLiteral("/dev/full"));
  full.start(QStringLiteral(SP3_TO_TEXT_PROGRAM), {source, QStringLiteral("-")});
  full.waitForFinished(30000);
  EXPECT_EQ(full.exitCode(), 3);
  EXPECT_TRUE(full.readAllStandardError().contains("cannot be written"));
}

}  // namespace
}  // namespace vantrel
