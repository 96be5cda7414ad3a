#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/toolbar_model.h"

namespace vantrel {
namespace {

constexpr int kSize = 32;

void DrawPlug(QPainter& p, bool connected) {
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor(connected ? 0x30a030 : 0x909090));
  p.drawRect(4, 11, 10, 10);
  p.drawLine(14, 14, 18, 14);
  p.drawLine(14, 18, 18, 18);
  p.setBrush(QColor(0x909090));
  p.drawRect(connected ? 18 : 21, 11, 10, 10);
  if (!connected) {
    p.setPen(QPen(QColor(0xc02020), 2));
    p.drawLine(16, 6, 20, 26);
  }
}

void DrawRecord(QPainter& p, bool on) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(0xd02020));
  if (on) {
    p.drawRect(8, 8, 16, 16);
  } else {
    p.drawEllipse(QPoint(16, 16), 9, 9);
  }
}

void DrawText(QPainter& p, const QString& text, const QColor& color) {
  QFont font = p.font();
  font.setPixelSize(text.size() > 2 ? 10 : 14);
  font.setBold(true);
  p.setFont(font);
  p.setPen(color);
  p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

}  // namespace

QIcon ToolbarImage(int index) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (index) {
    case kImageDisconnected:
      DrawPlug(p, false);
      break;
    case kImageConnected:
      DrawPlug(p, true);
      break;
    case kImageRecordingIdle:
      DrawRecord(p, false);
      break;
    case kImageRecordingOn:
      DrawRecord(p, true);
      break;
    case 5:  // capture: a camera
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(QColor(0x505050));
      p.drawRect(4, 10, 24, 16);
      p.drawRect(11, 6, 10, 4);
      p.setBrush(QColor(0x80c0ff));
      p.drawEllipse(QPoint(16, 18), 5, 5);
      break;
    case 6:  // save: a disk
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(QColor(0x3060c0));
      p.drawRect(5, 5, 22, 22);
      p.setBrush(Qt::white);
      p.drawRect(9, 5, 14, 8);
      break;
    case 7:  // print: a printer
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(Qt::white);
      p.drawRect(9, 4, 14, 10);
      p.setBrush(QColor(0x808080));
      p.drawRect(4, 13, 24, 10);
      p.setBrush(Qt::white);
      p.drawRect(9, 20, 14, 8);
      break;
    case 8: {  // marker: a diamond over a trace
      p.setPen(QPen(QColor(0x20a020), 2));
      p.drawPolyline(QPolygon(
          {QPoint(2, 26), QPoint(10, 24), QPoint(16, 10), QPoint(22, 24), QPoint(30, 26)}));
      p.setPen(Qt::black);
      p.setBrush(QColor(0xe0c000));
      p.drawPolygon(QPolygon({QPoint(16, 2), QPoint(20, 6), QPoint(16, 10), QPoint(12, 6)}));
      break;
    }
    case 9:  // clear display: an eraser
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(QColor(0xf0a0a0));
      p.drawPolygon(QPolygon({QPoint(4, 20), QPoint(16, 8), QPoint(28, 16), QPoint(16, 28)}));
      break;
    case 10: {  // play back from PC: a play triangle
      p.setPen(Qt::black);
      p.setBrush(QColor(0x20a020));
      p.drawPolygon(QPolygon({QPoint(9, 6), QPoint(26, 16), QPoint(9, 26)}));
      break;
    }
    case 11:
      DrawText(p, QStringLiteral("M"), QColor(0x2040c0));
      break;
    case 12:  // limit lines
      p.setPen(QPen(QColor(0xd02020), 2));
      p.drawLine(2, 8, 30, 8);
      p.drawLine(2, 24, 30, 24);
      break;
    case 13:  // setting: a gear-like wheel
      p.setPen(QPen(Qt::black, 3));
      for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(45.0 * i);
        p.drawLine(0, -13, 0, 13);
        p.restore();
      }
      p.setBrush(QColor(0xa0a0a0));
      p.drawEllipse(QPoint(16, 16), 8, 8);
      break;
    case kImageSaMode:
      DrawText(p, QStringLiteral("EMI"), QColor(0x2040c0));
      break;
    case kImageEmiMode:
      DrawText(p, QStringLiteral("SA"), QColor(0x20a020));
      break;
    case 16:  // control: three sliders
      p.setPen(QPen(Qt::black, 2));
      for (int i = 0; i < 3; ++i) {
        const int x = 8 + 8 * i;
        p.drawLine(x, 4, x, 28);
        p.fillRect(x - 3, 8 + 7 * i, 7, 5, QColor(0x3060c0));
      }
      break;
    case 17:  // exit: a door with an arrow
      p.setPen(QPen(Qt::black, 2));
      p.drawRect(6, 4, 14, 24);
      p.setPen(QPen(QColor(0xc02020), 2));
      p.drawLine(14, 16, 29, 16);
      p.drawLine(24, 11, 29, 16);
      p.drawLine(24, 21, 29, 16);
      break;
    case kImageLive: {  // live: a sweep with a moving trace and a play mark
      p.setPen(QPen(QColor(0x20a020), 2));
      p.drawPolyline(QPolygon({QPoint(2, 24), QPoint(8, 22), QPoint(12, 12), QPoint(16, 22),
                               QPoint(22, 20), QPoint(30, 24)}));
      p.setPen(Qt::black);
      p.setBrush(QColor(0xd02020));
      p.drawPolygon(QPolygon({QPoint(20, 3), QPoint(29, 8), QPoint(20, 13)}));
      break;
    }
    default:
      break;
  }
  return QIcon(pixmap);
}

}  // namespace vantrel
