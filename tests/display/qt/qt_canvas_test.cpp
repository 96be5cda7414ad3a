#include "platform/qt_canvas.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <limits>

#include "display/graph_frame.h"
#include "display/spectrum_graph.h"

namespace vantrel {
namespace {

constexpr QRgb kBlack = 0xFF000000;

QImage Blank(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

TEST(QtCanvas, UserScaleMapsOntoTheArea) {
  QImage image = Blank(601, 701);
  QPainter painter(&image);
  QtCanvas c(painter, QRectF(0, 0, 600, 700));
  c.SetScale(GraphScale(false));  // x -60..540, y 1200..-200
  EXPECT_EQ(c.Map(-60, 1200), QPointF(0, 0));
  EXPECT_EQ(c.Map(540, -200), QPointF(600, 700));
  EXPECT_EQ(c.Map(0, 0), QPointF(60, 600));
  c.SetScale(GraphScale(true));
  EXPECT_EQ(c.Map(540, -550), QPointF(600, 700));
  c.SetScale({0, 0, 0, 0});  // a degenerate scale maps without dividing by zero
  EXPECT_EQ(c.Map(5, 5), QPointF(0, 0));
}

TEST(QtCanvas, PolylinesLandOnTheirPixelsAndClip) {
  QImage image = Blank(100, 100);
  {
    QPainter painter(&image);
    QtCanvas c(painter, QRectF(0, 0, 100, 100));
    c.SetScale({0, 100, 100, -100});  // y up
    c.Clear(MakeRgb(0, 0, 0));
    c.SetPenColor(MakeRgb(0, 255, 0));
    c.MoveTo(10, 50);
    c.LineTo(90, 50);  // a horizontal line at pixel row 50
    c.MoveTo(20, -1e6);
    c.LineTo(20, 1e6);  // far outside both ways: clipped, one full column
    c.MoveTo(0, 0);
    c.LineTo(std::numeric_limits<double>::quiet_NaN(), 10);  // skipped
    c.Flush();
  }
  const QRgb green = qRgb(0, 255, 0);
  for (int x = 10; x <= 90; ++x) EXPECT_EQ(image.pixel(x, 50), green) << x;
  EXPECT_EQ(image.pixel(9, 50), kBlack);
  EXPECT_EQ(image.pixel(91, 50), kBlack);
  for (int y = 0; y < 100; ++y) EXPECT_EQ(image.pixel(20, y), green) << y;
  EXPECT_EQ(CountColour(image, green), 81 + 100 - 1);
}

TEST(QtCanvas, APolylineResumesCleanlyAfterLeavingTheImageOrABrokenPoint) {
  QImage image = Blank(100, 100);
  {
    QPainter painter(&image);
    QtCanvas c(painter, QRectF(0, 0, 100, 100));
    c.SetScale({0, 100, 100, -100});  // y up: y 10 is pixel row 90
    c.Clear(MakeRgb(0, 0, 0));
    c.SetPenColor(MakeRgb(0, 255, 0));
    c.MoveTo(10, 10);
    c.LineTo(50, 10);
    c.LineTo(50, 300);  // out through the top edge
    c.LineTo(70, 10);   // and back in
    c.LineTo(90, 10);
    c.LineTo(std::numeric_limits<double>::quiet_NaN(), 10);
    c.LineTo(95, 10);  // the segments touching the broken point are skipped
    c.LineTo(99, 10);
    c.Flush();
  }
  const QRgb green = qRgb(0, 255, 0);
  for (int x : {10, 30, 50, 70, 80, 90, 95, 99}) EXPECT_EQ(image.pixel(x, 90), green) << x;
  for (int x : {9, 60, 92}) EXPECT_EQ(image.pixel(x, 90), kBlack) << x;
  EXPECT_EQ(image.pixel(50, 0), green);  // the climb reaches the top row
}

TEST(QtCanvas, FastAndGeneralRasterizersAgreeOnATrace) {
  // The same noisy trace through the direct pixel path (RGB32) and through the
  // painter's own rasterizer (RGB888): both put it in the same rows.
  auto draw = [](QImage& image) {
    QPainter painter(&image);
    QtCanvas c(painter, QRectF(0, 0, image.width(), image.height()));
    c.SetScale({0, 1023, 500, -1023});
    c.SetPenColor(MakeRgb(255, 255, 0));
    c.MoveTo(0, 500);
    for (int n = 0; n <= 500; ++n) c.LineTo(n, 500 + (n % 7) * 40 - (n % 3) * 50);
  };
  QImage fast = Blank(501, 400);
  QImage general(501, 400, QImage::Format_RGB888);
  general.fill(Qt::black);
  draw(fast);
  draw(general);
  const QRgb yellow = qRgb(255, 255, 0);
  // Every pixel of one lies within a pixel of the other, both ways.
  auto strays = [&](const QImage& a, const QImage& b) {
    int total = 0, stray = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) {
        if (a.pixel(x, y) != yellow) continue;
        ++total;
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
          for (int dx = -1; dx <= 1 && !near; ++dx)
            near = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == yellow;
        stray += !near;
      }
    EXPECT_GT(total, 500);
    return stray;
  };
  EXPECT_EQ(strays(fast, general), 0);
  EXPECT_EQ(strays(general, fast), 0);
}

TEST(QtCanvas, GridScreenHasFrameTextAndTraces) {
  QImage image = Blank(600, 700);
  DisplayState st;
  st.settings.RefLevel = -20;
  st.settings.RefUnit = "dBm";
  st.settings.Scale = 10;
  st.settings.FreqStart = 950;
  st.settings.FreqStop = 1050;
  st.settings.FreqCenter = 1000;
  st.settings.Span = "100MHz";
  for (auto& p : st.liveTraces[0].Points()) p = 511;
  st.liveTraces[0].SetValid(true);
  {
    QPainter painter(&image);
    QtCanvas c(painter, QRectF(0, 0, 600, 700));
    DrawGrid(c, st);
    EXPECT_GT(c.TextWidth("Ref: -20 dBm"), 0);
    const double w8 = c.TextWidth("Stop: 1.05GHz");
    c.SetFontSize(16);
    EXPECT_GT(c.TextWidth("Stop: 1.05GHz"), 1.5 * w8);
    EXPECT_GT(c.TextHeight("X"), 0);
  }
  // Trace 0 (green) across the graph at mid height: x 0..500 -> pixels 60..560.
  const int row = static_cast<int>(std::lround((1200 - 511) * 700.0 / 1400));
  int greenOnRow = 0;
  for (int x = 0; x < 600; ++x) greenOnRow += image.pixel(x, row) == qRgb(0, 255, 0);
  EXPECT_GE(greenOnRow, 495);
  // The frame's left edge, in the grid colour, at x 0 (pixel 60).
  EXPECT_EQ(image.pixel(60, 300), qRgb(178, 178, 178));
  // Some text was written below the graph (grid colour pixels under y 0).
  int textPixels = 0;
  for (int y = 610; y < 640; ++y)
    for (int x = 0; x < 600; ++x) textPixels += qGray(image.pixel(x, y)) > 60;
  EXPECT_GT(textPixels, 50);
}

// Texts are laid out once per font size: the same text after a size change must come out
// as a canvas that never drew it at the old size draws it.
TEST(QtCanvas, ATextDrawnAgainAfterAFontChangeMatchesAFreshCanvas) {
  auto draw = [](bool warmUp) {
    QImage image = Blank(300, 200);
    QPainter painter(&image);
    QtCanvas c(painter, QRectF(0, 0, 300, 200));
    c.SetScale({0, 200, 300, -200});
    c.SetPenColor(MakeRgb(255, 255, 255));
    if (warmUp) {
      c.Text(10, 150, "-35.0 dBm");
      c.FilledBox(0, 0, 300, 200, MakeRgb(0, 0, 0));
    }
    c.SetFontSize(20);
    c.Text(10, 150, "-35.0 dBm");
    return image;
  };
  const QImage fresh = draw(false);
  EXPECT_GT(CountColour(fresh, kBlack), 0);
  EXPECT_EQ(draw(true), fresh);
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
