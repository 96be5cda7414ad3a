#include "platform/small_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vantrel {

SmallFileRead ReadSmallFile(const QString& path, qint64 limit) {
  SmallFileRead read;
  const QFileInfo info(path);
  if (!info.exists()) {
    read.missing = true;
    return read;
  }
  if (info.isDir()) {
    read.error = QStringLiteral("%1 is a folder, not a file.").arg(path);
    return read;
  }
  if (info.size() > limit) {
    read.error = QStringLiteral("%1 is %2 bytes long, more than a settings file can be.")
                     .arg(path)
                     .arg(info.size());
    return read;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    read.error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    return read;
  }
  const QByteArray content = file.read(limit + 1);
  if (file.error() != QFileDevice::NoError) {
    read.error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    return read;
  }
  read.bytes = content.toStdString();
  return read;
}

bool ReplaceSmallFile(const QString& path, const std::string& bytes, QString* error,
                      const ChunkWriter& writer) {
  QSaveFile file(path);
  const auto fail = [&](const QString& why) {
    file.cancelWriting();
    if (error) *error = QStringLiteral("%1 cannot be written: %2").arg(path, why);
    return false;
  };
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  const qint64 total = static_cast<qint64>(bytes.size());
  qint64 done = 0;
  while (done < total) {
    const qint64 piece = std::min<qint64>(total - done, 4096);
    const qint64 n = writer ? writer(file, bytes.data() + done, piece)
                            : file.write(bytes.data() + done, piece);
    if (n <= 0) return fail(file.errorString());
    done += n;
  }
  if (!file.commit()) {
    if (error) *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}

QString FindFileIgnoringCase(const QString& folder, const QString& name) {
  const QDir dir(folder);
  if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
  for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden)) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
  }
  return dir.filePath(name);
}

}  // namespace vantrel
