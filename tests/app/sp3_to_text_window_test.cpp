// The converter window: pickers, a conversion with its progress bar, and a failure shown
// with its cause.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/sp3_to_text_window.h"
#include "files/text_tables.h"
#include "support/hand_built_record.h"
#include "support/hand_built_text.h"
#include "support/recording_notifier.h"

namespace vantrel {
namespace {

TEST(Sp3ToTextWindow, ConvertsThePickedRecordingAndReportsAFailure) {
  QTemporaryDir dir;
  const QString source = dir.filePath(QStringLiteral("rec.sp3"));
  {
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const testing::Bytes record = testing::HandBuiltRecord();
    file.write(reinterpret_cast<const char*>(record.data()), static_cast<qint64>(record.size()));
  }
  testing::RecordingNotifier notifier;
  Sp3ToTextWindow window(notifier);
  window.setAttribute(Qt::WA_DeleteOnClose, false);
  window.chooseSource = [&] { return QStringLiteral("  ") + source + QStringLiteral(" "); };
  window.chooseTarget = [] { return QString(); };  // cancelled: the box keeps its text
  window.txtTarget->setText(dir.filePath(QStringLiteral("rec.txt")));
  window.cmdSource->click();
  window.cmdTarget->click();
  EXPECT_EQ(window.txtSource->text(), source);
  window.cmdConvert->click();
  QFile out(window.txtTarget->text());
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  EXPECT_EQ(out.readAll().toStdString(), Sp3TextHeader() + testing::HandBuiltRecordLine(1));
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_TRUE(window.ProgressBar1->isHidden());

  window.txtSource->setText(dir.filePath(QStringLiteral("none.sp3")));
  window.cmdConvert->click();
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_NE(notifier.messages[0].text.find("does not exist"), std::string::npos);
  EXPECT_TRUE(window.cmdConvert->isEnabled());
}

}  // namespace
}  // namespace vantrel
