#pragma once
// The kept layer of a QtCanvas: a transparent 32-bit image the size of the canvas. Laying
// it over a plain 32-bit image copies only the pixels the layer covers, remembered as
// runs when it was drawn, instead of blending the whole picture.
#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "display/canvas.h"

namespace vantrel {

class QtCanvas;

class QtKeptLayer : public KeptLayer {
 public:
  QtKeptLayer();
  ~QtKeptLayer() override;

  // The canvas the layer lies over during this paint; set by QtCanvas::Kept.
  void Bind(QtCanvas& target) { target_ = &target; }

  int TargetWidth() const override;
  int TargetHeight() const override;
  const LayerKey& Key() const override { return key_; }
  Canvas& Redraw(LayerKey key) override;
  void Compose() override;

 private:
  // A row's stretch of covered pixels, all opaque or all partly transparent.
  struct Run {
    int y;
    int x;
    int length;
    bool opaque;
  };
  void FinishDrawing();
  bool ComposeRuns(QImage& target, QPoint at) const;

  QtCanvas* target_ = nullptr;
  LayerKey key_;
  QImage image_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QtCanvas> canvas_;
  std::vector<Run> runs_;
};

}  // namespace vantrel
