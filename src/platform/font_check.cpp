#include "platform/font_check.h"

#include <QDir>
#include <QFontDatabase>

namespace vantrel {

bool HasArialFamily(const QStringList& families) {
  for (const QString& family : families) {
    if (family.toLower() == QLatin1String("arial")) return true;
  }
  return false;
}

bool EnsureArialFont(const QString& programFolder) {
  if (HasArialFamily(QFontDatabase::families())) return false;
  QFontDatabase::addApplicationFont(QDir(programFolder).filePath(QStringLiteral("arial.ttf")));
  return true;
}

}  // namespace vantrel
