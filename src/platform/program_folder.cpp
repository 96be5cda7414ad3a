#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantrel {

QString ProgramFolder() {
  return QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath()
                                                 : QDir::currentPath();
}

QString ProgramFilePath(const QString& name) {
  const QDir programDir(ProgramFolder());
  const QString beside = programDir.filePath(name);
  if (QFileInfo::exists(beside) || QFileInfo(programDir.absolutePath()).isWritable()) {
    return beside;
  }
  const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (userDir.isEmpty()) return beside;
  QDir().mkpath(userDir);
  return QDir(userDir).filePath(name);
}

}  // namespace vantrel
