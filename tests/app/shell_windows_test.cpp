#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/debug_window.h"
#include "app/process_globals.h"
#include "app/splash_window.h"

namespace vantrel {
namespace {

TEST(SplashWindow, CheckBoxFollowsAndSetsDontShowEmiSteps) {
  DontShowEMISteps = 1;
  {
    SplashWindow page;
    auto* box = page.findChild<QCheckBox*>("chkRestart");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    box->click();
    EXPECT_EQ(DontShowEMISteps, 0);
    box->click();
    EXPECT_EQ(DontShowEMISteps, 1);
    EXPECT_EQ(page.findChild<QPushButton*>("cmdExit")->text(), "Exit");
    EXPECT_EQ(page.windowTitle(), "EMI Step Page");
    // The tick shows on the page, not only in the box's state.
    box->setChecked(false);
    const QImage clear = page.grab().toImage();
    box->setChecked(true);
    EXPECT_NE(page.grab().toImage(), clear);
  }
  // The value outlives the page.
  EXPECT_EQ(DontShowEMISteps, 1);
  DontShowEMISteps = 0;
  SplashWindow again;
  EXPECT_FALSE(again.findChild<QCheckBox*>("chkRestart")->isChecked());
}

TEST(SplashWindow, PictureHasThePagesSizeAndIsDrawn) {
  const QImage picture = DrawEmiStepsPicture();
  EXPECT_EQ(picture.size(), QSize(1126, 655));
  // Dark background at the corner, and something bright drawn (title, boxes).
  EXPECT_LT(qGray(picture.pixel(2, 2)), 64);
  int bright = 0;
  for (int y = 0; y < picture.height(); y += 3) {
    for (int x = 0; x < picture.width(); x += 3) {
      if (qGray(picture.pixel(x, y)) > 160) ++bright;
    }
  }
  EXPECT_GT(bright, 500);
}

TEST(DebugWindow, ClearEmptiesTextAndLog) {
  IoMessageLog = "Trace 1 read\r\nTrace 2 read\r\n";
  DebugWindow window;
  EXPECT_EQ(window.windowTitle(), "IO Message");
  auto* text = window.findChild<QPlainTextEdit*>("txtDebug");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().isEmpty());  // empty at load
  window.ShowLog();
  EXPECT_TRUE(text->toPlainText().contains("Trace 2 read"));
  window.findChild<QPushButton*>("cmdClear")->click();
  EXPECT_TRUE(text->toPlainText().isEmpty());
  EXPECT_TRUE(IoMessageLog.empty());
}

}  // namespace
}  // namespace vantrel
