#include "app/waterfall_splitter.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace vantrel {

WaterfallSplitter::WaterfallSplitter(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("splWaterfall"));
  setCursor(Qt::SplitVCursor);
  setToolTip(QStringLiteral("Drag to set the waterfall's height"));
}

void WaterfallSplitter::SetWaterfallHeight(int pixels) {
  pixels = std::max(pixels, 0);
  if (pixels == height_) return;
  height_ = pixels;
  if (heightChanged) heightChanged();
}

void WaterfallSplitter::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressY_ = event->globalPosition().y();
  pressHeight_ = shownHeight ? shownHeight() : height_;
}

void WaterfallSplitter::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  // Dragging up gives the waterfall more room; at least one pixel stays a choice.
  const double moved = event->globalPosition().y() - pressY_;
  SetWaterfallHeight(std::max(1, pressHeight_ - static_cast<int>(std::lround(moved))));
}

}  // namespace vantrel
