#pragma once
// frmSplash, the EMI step page: a picture of the three suggested steps of EMI mode,
// the "do not show again" box chkRestart and the Exit button.
#include <QImage>
#include <QWidget>

class QCheckBox;

namespace vantrel {

inline constexpr int kSplashWidth = 1126;
inline constexpr int kSplashHeight = 655;

// The page's picture (Image1), drawn in code.
QImage DrawEmiStepsPicture();

class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SplashWindow(QWidget* parent = nullptr);

 private:
  QCheckBox* chkRestart_ = nullptr;
};

}  // namespace vantrel
