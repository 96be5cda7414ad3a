#include "platform/screen_scale.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace vantrel {

namespace {

constexpr int kDesignedRows = 1080;

bool UserChoseScaling() {
  for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
                           "QT_USE_PHYSICAL_DPI", "QT_FONT_DPI", "VANTREL_NO_AUTO_SCALE"}) {
    if (qEnvironmentVariableIsSet(name)) return true;
  }
  return false;
}

}  // namespace

std::optional<int> AutoScaleFactor(int heightPx, double logicalDpi, double devicePixelRatio) {
  if (!(devicePixelRatio <= 1.0) || !(logicalDpi <= 100.0) || heightPx < 2 * kDesignedRows)
    return std::nullopt;
  return heightPx / kDesignedRows;
}

std::optional<int> ScaleForLargeScreen(int argc, char** argv) {
  if (UserChoseScaling()) return std::nullopt;
  std::optional<int> factor;
  {
    // A probe of its own: the real application must be created after the factor is set.
    QGuiApplication probe(argc, argv);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const int height = static_cast<int>(
          std::lround(screen->geometry().height() * screen->devicePixelRatio()));
      factor = AutoScaleFactor(height, screen->logicalDotsPerInch(), screen->devicePixelRatio());
    }
  }
  if (factor) qputenv("QT_SCALE_FACTOR", QByteArray::number(*factor));
  return factor;
}

}  // namespace vantrel
