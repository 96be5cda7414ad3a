// vantrel-sp3-to-text on recordings on disk: the text byte for byte, exit codes, and no
// half-written or newly created files when it fails.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vantrel
