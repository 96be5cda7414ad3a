#include "platform/durable_record_store.h"

#include <QFile>
#include <QFileInfo>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vantrel {

namespace {

QString Q(const std::string& path) {
  return QString::fromStdString(path);
}

// Puts what was written on the disk itself, past the operating system's cache.
bool SyncToDisk(QFile& file) {
  if (!file.flush()) return false;
#ifdef _WIN32
  return _commit(file.handle()) == 0;
#elif defined(__APPLE__)
  return fsync(file.handle()) == 0;
#else
  return fdatasync(file.handle()) == 0;
#endif
}

bool WriteAll(QFile& file, const char* data, qint64 size, std::string& error) {
  for (qint64 done = 0; done < size;) {
    const qint64 n = file.write(data + done, size - done);
    if (n <= 0) {
      error = file.errorString().toStdString();
      return false;
    }
    done += n;
  }
  if (!SyncToDisk(file)) {
    error = "the data could not be put on the disk: " + file.errorString().toStdString();
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::uint64_t> DurableRecordStore::Size(const std::string& path) {
  const QFileInfo info(Q(path));
  if (!info.exists() || info.isDir()) return std::nullopt;
  return static_cast<std::uint64_t>(info.size());
}

std::optional<std::vector<std::uint8_t>> DurableRecordStore::ReadAt(const std::string& path,
                                                                    std::uint64_t offset,
                                                                    std::size_t count,
                                                                    std::string& error) {
  QFile file(Q(path));
  if (!file.open(QIODevice::ReadOnly) || !file.seek(static_cast<qint64>(offset))) {
    error = path + " cannot be read: " + file.errorString().toStdString();
    return std::nullopt;
  }
  const QByteArray data = file.read(static_cast<qint64>(count));
  if (file.error() != QFileDevice::NoError) {
    error = path + " cannot be read: " + file.errorString().toStdString();
    return std::nullopt;
  }
  return std::vector<std::uint8_t>(data.begin(), data.end());
}

bool DurableRecordStore::WriteAt(const std::string& path, std::uint64_t offset,
                                 const std::vector<std::uint8_t>& bytes, std::string& error) {
  QFile file(Q(path));
  if (!file.open(QIODevice::ReadWrite) || !file.seek(static_cast<qint64>(offset))) {
    error = path + " cannot be written: " + file.errorString().toStdString();
    return false;
  }
  return WriteAll(file, reinterpret_cast<const char*>(bytes.data()),
                  static_cast<qint64>(bytes.size()), error);
}

bool DurableRecordStore::Replace(const std::string& path, const std::string& bytes,
                                 std::string& error) {
  QFile file(Q(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    error = path + " cannot be written: " + file.errorString().toStdString();
    return false;
  }
  return WriteAll(file, bytes.data(), static_cast<qint64>(bytes.size()), error);
}

bool DurableRecordStore::Append(const std::string& path, const std::string& bytes,
                                std::string& error) {
  QFile file(Q(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    error = path + " cannot be written: " + file.errorString().toStdString();
    return false;
  }
  return WriteAll(file, bytes.data(), static_cast<qint64>(bytes.size()), error);
}

}  // namespace vantrel
