#include "platform/qt_kept_layer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "display/spectrum_graph.h"
#include "platform/qt_canvas.h"

namespace vantrel {
namespace {

// Live traces under 40 crossing stored traces of several colours, on a grey-blue back
// so the numbers' smoothed edges blend with something.
DisplayState Scene() {
  DisplayState st;
  st.settings.Scale = 10;
  st.settings.RefUnit = "dBm";
  st.backColor = MakeRgb(20, 30, 60);
  for (int i = 0; i < 3; ++i) {
    RawTrace& t = st.liveTraces[i];
    for (int n = 0; n < kTracePoints; ++n)
      t.Points()[n] = static_cast<std::int16_t>(200 + i * 150 + (n * 13) % 90);
    t.SetColour(kLiveTraceColors[i]);
    t.SetMode(static_cast<std::int16_t>(i));
    t.SetValid(true);
  }
  for (int k = 0; k < 40; ++k) {
    RawTrace& t = st.storedTraces[k];
    for (int n = 0; n < kTracePoints; ++n)
      t.Points()[n] =
          static_cast<std::int16_t>(100 + (n * 7 + k * 37) % 800 + (k % 5 == 0 ? 600 : 0));
    t.SetColour(MakeRgb(40 * k, 255 - 6 * k, 90 + 4 * k));
    t.SetMode(static_cast<std::int16_t>(k + 1));
    t.SetValid(true);
  }
  return st;
}

QImage Paint(QSize size, DisplayState& st, QtKeptLayer* layer) {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  QtCanvas canvas(painter, QRectF(0, 0, size.width(), size.height()));
  canvas.KeepLayer(layer);
  DrawGrid(canvas, st);
  DrawStored(canvas, st);
  canvas.SetPenColor(MakeRgb(255, 255, 255));  // whatever follows the stored traces
  canvas.Line(0, 0, 500, 1023);
  return image;
}

// Each step changes the scene and paints it twice: through a layer kept across all
// steps, and straight onto the picture. A layer not drawn again when it should be, or
// laid over the picture differently, shows as a difference.
TEST(QtKeptLayer, PicturesEqualDrawingEveryTraceAfterEachChange) {
  DisplayState st = Scene();
  QSize size(900, 640);
  QtKeptLayer layer;
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"first paint", [] {}},
      {"live trace moved", [&] { st.liveTraces[0].Points()[250] = 900; }},
      {"stored point moved", [&] { st.storedTraces[3].Points()[100] = 1000; }},
      {"stored colour", [&] { st.storedTraces[7].SetColour(MakeRgb(255, 0, 255)); }},
      {"slot emptied", [&] { st.storedTraces[39].SetValid(false); }},
      {"slot number", [&] { st.storedTraces[2].SetMode(77); }},
      {"dB per division", [&] { st.settings.Scale = 5; }},
      {"markers on: taller scale", [&] { st.markerEnabled[0] = true; }},
      {"font factor", [&] { st.fontScale = 1.7f; }},
      {"picture size", [&] { size = QSize(700, 520); }},
  };
  for (const auto& [what, change] : steps) {
    change();
    EXPECT_TRUE(Paint(size, st, &layer) == Paint(size, st, nullptr)) << what;
  }
}

}  // namespace
}  // namespace vantrel
