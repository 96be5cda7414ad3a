// "Save to PC" and "Print" of a captured sweep: pictures in print colours decoded again,
// the text table, an overwritten file's time stamp, and a one-page PDF.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QProcess>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/sim_window_test.h"
#include "display/graph_frame.h"

namespace vantrel {
namespace {


class WindowOutputTest : public testing::SimWindowTest {
 protected:
  void SetUp() override {
    SimWindowTest::SetUp();
    Key("btnOpenCOM")->trigger();
    Key("btnCapture")->trigger();
  }
  QString SaveAs(int option, const QString& fileName) {
    window->findChild<QRadioButton*>(QStringLiteral("optSave_%1").arg(option))->setChecked(true);
    const QString path = dir.filePath(fileName);
    window->chooseSaveFile = [path](const QString&) { return path; };
    Key("btnSave")->trigger();
    return path;
  }

  QTemporaryDir dir;
};

TEST_F(WindowOutputTest, PicturesHaveAWhiteBackgroundBlackGridAndGreenTrace) {
  const std::pair<int, const char*> formats[] = {{0, "x.jpg"}, {1, "x.bmp"}, {3, "x.png"}};
  for (const auto& [option, name] : formats) {
    const QImage picture(SaveAs(option, QString::fromLatin1(name)));
    ASSERT_FALSE(picture.isNull()) << name;
    EXPECT_GT(qGray(picture.pixel(1, 1)), 240) << name;
    int black = 0, green = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        const QColor c = picture.pixelColor(x, y);
        black += c.red() < 40 && c.green() < 40 && c.blue() < 40;
        green += c.green() > 180 && c.red() < 90 && c.blue() < 90;
      }
    }
    EXPECT_GT(black, 1000) << name;
    EXPECT_GT(green, 100) << name;
  }
  EXPECT_EQ(window->Display().backColor, kDefaultBackColor);  // the screen's colours again
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);  // nothing but the pictures
}

TEST_F(WindowOutputTest, OverwritingKeepsTheFileTimeAndTheTextTableHasTheSweep) {
  const QString path = dir.filePath(QStringLiteral("old.jpg"));
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.flush();
    old.setFileTime(QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9)),
                    QFileDevice::FileModificationTime);
  }
  SaveAs(0, QStringLiteral("old.jpg"));
  EXPECT_GT(QFileInfo(path).size(), 1000);
  EXPECT_EQ(QFileInfo(path).lastModified(), QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9)));

  QFile text(SaveAs(2, QStringLiteral("sweep.txt")));
  ASSERT_TRUE(text.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = text.readAll().split('\n');
  EXPECT_EQ(lines[0], "Freq.(MHz),Level\r");
  EXPECT_EQ(lines.size(), 514);  // 513 lines ended by CR LF
}

TEST_F(WindowOutputTest, PrintsOnePageToAPdfFileAndGoesBackToIdle) {
  const QString pdf = dir.filePath(QStringLiteral("view.pdf"));
  window->choosePrinter = [pdf](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  };
  Key("btnPrint")->trigger();
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString content = QString::fromLatin1(file.readAll());
  EXPECT_TRUE(content.startsWith(QStringLiteral("%PDF")));
  EXPECT_EQ(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
  // The page holds the graph: one picture of the window's graph.
  const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
  ASSERT_FALSE(pdfimages.isEmpty()) << "pdfimages (poppler-utils) is missing";
  QProcess list;
  list.start(pdfimages, {QStringLiteral("-list"), pdf});
  ASSERT_TRUE(list.waitForFinished(30000));
  const QStringList rows = QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), 3);  // two heading lines, one image
  const QStringList image = rows[2].simplified().split(' ');
  EXPECT_EQ(image.value(3).toInt(), window->findChild<QWidget*>(QStringLiteral("Pic1"))->width());
  EXPECT_FALSE(window->Transport().stopRequested);
  EXPECT_TRUE(Key("btnCapture")->isEnabled());
}

}  // namespace
}  // namespace vantrel
