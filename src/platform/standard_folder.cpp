#include "platform/standard_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <map>

#include "platform/program_folder.h"

namespace vantrel {

QStringList DataFolders(const QString& name) {
  const QDir program(ProgramFolder());
  QStringList folders{program.filePath(name), program.filePath(QStringLiteral("../share/vantrel/") + name)};
  const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (!user.isEmpty()) folders << QDir(user).filePath(name);
  return folders;
}

QStringList StandardFolders() { return DataFolders(QStringLiteral("standard")); }

QStringList FilesInFolders(const QStringList& folders, const QString& pattern) {
  std::map<QString, QString> byName;  // a later folder's file replaces an earlier one's
  for (const QString& folder : folders) {
    const QDir dir(folder);
    const auto names = dir.entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) byName[name] = dir.absoluteFilePath(name);
  }
  QStringList paths;
  for (const auto& entry : byName) paths << entry.second;
  return paths;
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
  std::vector<StandardFile> files;
  for (const QString& path : FilesInFolders(folders, QStringLiteral("*.txt"))) {
    files.push_back(ReadStandardFile(path));
  }
  return files;
}

}  // namespace vantrel
