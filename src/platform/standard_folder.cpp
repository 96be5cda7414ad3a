#include "platform/standard_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <map>

#include "platform/program_folder.h"

namespace vantrel {

QStringList StandardFolders() {
  const QDir program(ProgramFolder());
  QStringList folders{program.filePath(QStringLiteral("standard")),
                      program.filePath(QStringLiteral("../share/vantrel/standard"))};
  const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (!user.isEmpty()) folders << QDir(user).filePath(QStringLiteral("standard"));
  return folders;
}

StandardFile ReadStandardFile(const QString& path) {
  StandardFile file{path.toStdString(), {}, {}};
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly)) {
    file.readError = "cannot be read: " + in.errorString().toStdString();
  } else {
    file.bytes = in.read(static_cast<qint64>(kMaxStandardBytes) + 1).toStdString();
  }
  return file;
}

std::vector<StandardFile> ReadStandardFolders(const QStringList& folders) {
  std::map<QString, QString> byName;  // a later folder's file replaces an earlier one's
  for (const QString& folder : folders) {
    const QDir dir(folder);
    const auto names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) byName[name] = dir.absoluteFilePath(name);
  }
  std::vector<StandardFile> files;
  for (const auto& entry : byName) files.push_back(ReadStandardFile(entry.second));
  return files;
}

}  // namespace vantrel
