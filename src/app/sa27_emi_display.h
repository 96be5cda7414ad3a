#pragma once
// frmEScr, "2.7GHz SA For EMC Mode Display": the older model's EMI graph on its own,
// filling the window; the control panel draws into it and owns its marker pictures.
#include <QWidget>

namespace vantrel {

class GraphPicture;

// The display's fixed user scale: room for the marker table below the graph always.
inline constexpr double kSa27EmiScaleHeight = -1700;

class Sa27EmiDisplay : public QWidget {
  Q_OBJECT
 public:
  explicit Sa27EmiDisplay(QWidget* parent = nullptr);

  GraphPicture* Picture() const { return picture_; }

 private:
  GraphPicture* picture_ = nullptr;
};

}  // namespace vantrel
