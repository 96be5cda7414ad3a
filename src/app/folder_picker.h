#pragma once
// The recording-folder pickers of the Setting panel: the drive list Drive1 (the file
// system roots: drive letters on Windows, "/" on Linux) and the folder list Dir1 (the
// folders inside the current one; ".." goes up, activating an entry goes in).
#include <QComboBox>
#include <QListWidget>
#include <QString>

namespace vantrel {

class DriveList : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent = nullptr);
  // The root that holds `path` (its drive part), chosen without a change signal.
  void SetDriveOf(const QString& path);
  QString Drive() const { return currentText(); }

 signals:
  // The user picked another drive.
  void driveChanged(const QString& drive);
};

class FolderList : public QListWidget {
  Q_OBJECT
 public:
  explicit FolderList(QWidget* parent = nullptr);
  QString Path() const { return path_; }
  // Shows the folders of `path`; a path that is not a folder changes nothing.
  // Returns whether the path was taken.
  bool SetPath(const QString& path);

 signals:
  void pathChanged(const QString& path);

 private:
  void Enter(QListWidgetItem* item);
  QString path_;
};

}  // namespace vantrel
