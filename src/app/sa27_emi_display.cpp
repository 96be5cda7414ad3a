#include "app/sa27_emi_display.h"

#include <QVBoxLayout>

#include "app/graph_picture.h"

namespace vantrel {

Sa27EmiDisplay::Sa27EmiDisplay(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmEScr"));
  setWindowTitle(QStringLiteral("2.7GHz SA For EMC Mode Display"));
  resize(700, 560);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  picture_ = new GraphPicture(this);
  picture_->setObjectName(QStringLiteral("picEScr"));
  picture_->setFocusPolicy(Qt::ClickFocus);
  layout->addWidget(picture_);
}

}  // namespace vantrel
