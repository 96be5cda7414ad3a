#include "app/splash_window.h"

#include <QCheckBox>
#include <QMdiSubWindow>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

#include "app/process_globals.h"
#include "app/toolbar_icons.h"
#include "app/toolbar_model.h"

namespace vantrel {
namespace {

// Where the real controls lie over the picture's drawn check box label and button face.
const QRect kCheckRect(120, 590, 420, 30);
const QRect kExitRect(930, 585, 120, 40);

const QColor kBackground(0x14, 0x1c, 0x2c);
const QColor kBoxFill(0x22, 0x33, 0x4e);
const QColor kAccent(0xf0, 0xb4, 0x28);
const QColor kText(0xe8, 0xec, 0xf2);

struct StepBox {
  QRect rect;
  QString number;
  QString title;
  QStringList lines;
};

void DrawStep(QPainter& p, const StepBox& box) {
  p.setPen(QPen(kAccent, 3));
  p.setBrush(kBoxFill);
  p.drawRoundedRect(box.rect, 14, 14);

  const QPoint badge(box.rect.left() + 34, box.rect.top() + 36);
  p.setBrush(kAccent);
  p.setPen(Qt::NoPen);
  p.drawEllipse(badge, 22, 22);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(26);
  font.setBold(true);
  p.setFont(font);
  p.setPen(kBackground);
  p.drawText(QRect(badge.x() - 22, badge.y() - 22, 44, 44), Qt::AlignCenter, box.number);

  font.setPixelSize(24);
  p.setFont(font);
  p.setPen(kAccent);
  p.drawText(QRect(box.rect.left() + 66, box.rect.top() + 18, box.rect.width() - 76, 36),
             Qt::AlignLeft | Qt::AlignVCenter, box.title);

  font.setPixelSize(17);
  font.setBold(false);
  p.setFont(font);
  p.setPen(kText);
  const QRect textRect = box.rect.adjusted(18, 74, -14, -12);
  p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, box.lines.join('\n'));
}

void DrawArrow(QPainter& p, QPoint from, QPoint to) {
  p.setPen(QPen(kAccent, 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, QPoint(to.x() - 14, to.y()));
  QPainterPath head;
  head.moveTo(to);
  head.lineTo(to.x() - 18, to.y() - 12);
  head.lineTo(to.x() - 18, to.y() + 12);
  head.closeSubpath();
  p.fillPath(head, kAccent);
}

}  // namespace

QImage DrawEmiStepsPicture() {
  QImage image(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
  image.fill(kBackground);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QFont title(QStringLiteral("Arial"));
  title.setPixelSize(36);
  title.setBold(true);
  p.setFont(title);
  p.setPen(kText);
  p.drawText(QRect(0, 24, kSplashWidth, 50), Qt::AlignCenter,
             QStringLiteral("Vantrel EMI Mode: Suggested Steps"));
  p.setPen(QPen(kAccent, 2));
  p.drawLine(180, 86, kSplashWidth - 180, 86);

  const int top = 130;
  const int height = 400;
  const int width = 310;
  const StepBox steps[] = {
      {QRect(40, top, width, height),
       QStringLiteral("1"),
       QStringLiteral("EMI Mode"),
       {QStringLiteral("Click the EMI icon of the toolbar to enable EMI mode.")}},
      {QRect(408, top, width, height),
       QStringLiteral("2"),
       QStringLiteral("Pre-Scan"),
       {QStringLiteral("A wide-range scan finds the emissions quickly."), QString(),
        QStringLiteral("- Mode selection: conducted or radiation"),
        QStringLiteral("- Regulation selection"),
        QStringLiteral("- Detection selection: normal, sample or peak+"),
        QStringLiteral("- Other settings")}},
      {QRect(776, top, width, height),
       QStringLiteral("3"),
       QStringLiteral("Spot Debug"),
       {QStringLiteral("Spot-frequency measurement of each emission."), QString(),
        QStringLiteral("- Mode selection"), QStringLiteral("- Regulation selection"),
        QStringLiteral("- Detection selection: normal, sample, peak+, quasi-peak or average"),
        QStringLiteral("- Frequency setting")}},
  };
  for (const StepBox& step : steps) DrawStep(p, step);
  DrawArrow(p, QPoint(352, top + height / 2), QPoint(404, top + height / 2));
  DrawArrow(p, QPoint(720, top + height / 2), QPoint(772, top + height / 2));

  // The toolbar's EMI icon, as the user finds it, inside the first box.
  const QPixmap icon = ToolbarImage(kImageSaMode).pixmap(64, 64);
  p.setPen(QPen(kText, 2));
  p.setBrush(QColor(0xd8, 0xd8, 0xd8));
  const QRect iconFrame(40 + width / 2 - 44, top + 210, 88, 88);
  p.drawRoundedRect(iconFrame, 8, 8);
  p.drawPixmap(iconFrame.center() - QPoint(32, 32), icon);

  // Check box label and Exit button face, under the real controls.
  QFont small(QStringLiteral("Arial"));
  small.setPixelSize(18);
  p.setFont(small);
  p.setPen(QPen(kText, 2));
  p.setBrush(Qt::NoBrush);
  p.drawText(kCheckRect.adjusted(30, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Do not show this page at the next start"));
  p.setBrush(kBoxFill);
  p.setPen(QPen(kAccent, 2));
  p.drawRoundedRect(kExitRect, 6, 6);
  p.setPen(kText);
  p.drawText(kExitRect, Qt::AlignCenter, QStringLiteral("Exit"));
  return image;
}

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmSplash"));
  setWindowTitle(QStringLiteral("EMI Step Page"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kSplashWidth, kSplashHeight);

  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setPixmap(QPixmap::fromImage(DrawEmiStepsPicture()));
  picture->setGeometry(0, 0, kSplashWidth, kSplashHeight);

  chkRestart_ = new QCheckBox(QStringLiteral("Do not show this page at the next start"), this);
  chkRestart_->setObjectName(QStringLiteral("chkRestart"));
  chkRestart_->setGeometry(kCheckRect);
  // The picture carries the label; the box keeps its text for clicks and screen readers
  // but draws only its indicator, whose tick is drawn in the text colour.
  QPalette colours = chkRestart_->palette();
  colours.setColor(QPalette::WindowText, Qt::transparent);
  colours.setColor(QPalette::Text, kText);
  colours.setColor(QPalette::Base, kBoxFill);
  colours.setColor(QPalette::Window, Qt::transparent);
  chkRestart_->setPalette(colours);
  chkRestart_->setAutoFillBackground(false);
  chkRestart_->setChecked(DontShowEMISteps == 1);
  connect(chkRestart_, &QCheckBox::toggled, this,
          [](bool ticked) { DontShowEMISteps = ticked ? 1 : 0; });

  auto* exit = new QPushButton(QStringLiteral("Exit"), this);
  exit->setObjectName(QStringLiteral("cmdExit"));
  exit->setGeometry(kExitRect);
  connect(exit, &QPushButton::clicked, this, [this] {
    // Inside the main frame the page sits in a child frame: close that, not just the page.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
      frame->close();
    } else {
      close();
    }
  });
}

}  // namespace vantrel
