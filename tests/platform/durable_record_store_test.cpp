// Recording files on disk: a recorder killed at any moment leaves every record it
// finished readable, and reading never creates a file.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <random>

#include "files/sp3_file.h"
#include "platform/durable_record_store.h"

namespace vantrel {
namespace {

TEST(DurableRecordStore, AKilledRecorderLeavesEveryFinishedRecordReadable) {
  QTemporaryDir dir;
  std::mt19937 random(20261209);
  for (int round = 0; round < 4; ++round) {
    const std::string path =
        dir.filePath(QStringLiteral("r%1.sp3").arg(round)).toStdString();
    QProcess child;
    child.start(QStringLiteral(RECORD_CRASH_CHILD), {QString::fromStdString(path)});
    ASSERT_TRUE(child.waitForStarted(10000));
    // Killed while it goes on writing: somewhere inside a later record.
    const std::uint64_t target = std::uniform_int_distribution<std::uint64_t>(1, 40)(random);
    std::uint64_t reported = 0;
    while (reported < target && child.waitForReadyRead(10000)) {
      while (child.canReadLine()) reported = child.readLine().trimmed().toULongLong();
    }
    child.kill();
    child.waitForFinished(10000);
    ASSERT_GE(reported, target);

    DurableRecordStore store;
    const std::uint64_t count = CountSp3Records(store, path);
    EXPECT_GE(count, reported);
    for (std::uint64_t k = 1; k <= count; ++k) {
      std::string error;
      const auto record = ReadSp3Record(store, path, k, error);
      ASSERT_TRUE(record) << error;
      EXPECT_EQ(record->traces[0].Points()[0], static_cast<std::int16_t>(k));
    }
  }
}

TEST(DurableRecordStore, ReadingAMissingFileCreatesNothing) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("none.sp3")).toStdString();
  DurableRecordStore store;
  std::string error;
  EXPECT_EQ(CountSp3Records(store, path), 0u);
  EXPECT_FALSE(ReadSp3Record(store, path, 1, error));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

}  // namespace
}  // namespace vantrel
