#include "app/picture_output.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>

namespace vantrel {

bool WritePicture(const QImage& picture, const QString& path, const char* format) {
  const QFileInfo old(path);
  const bool existed = old.exists();
  const QFile::Permissions permissions = old.permissions();
  const QDateTime modified = old.lastModified();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QImageWriter writer(&file, format);
  writer.setQuality(90);
  if (!writer.write(picture) || !file.commit()) return false;
  if (existed) {
    QFile::setPermissions(path, permissions);
    QFile again(path);
    if (again.open(QIODevice::Append))
      again.setFileTime(modified, QFileDevice::FileModificationTime);
  }
  return true;
}

void PrintGraphPage(QPrinter& printer, const QImage& picture, double graphHeight,
                    double pageHeight) {
  QPainter page;
  if (!page.begin(&printer)) return;
  const QRectF area = page.viewport();
  page.drawImage(QRectF(area.width() * 100 / 800, area.height() * 100 / pageHeight,
                        area.width() * 600 / 800, area.height() * graphHeight / pageHeight),
                 picture);
  page.end();
}

}  // namespace vantrel
