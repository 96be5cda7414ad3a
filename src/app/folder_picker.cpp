#include "app/folder_picker.h"

#include <QDir>
#include <QFileInfo>

#include "app/control_panel_rules.h"

namespace vantrel {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  setObjectName(QStringLiteral("Drive1"));
  for (const QFileInfo& drive : QDir::drives()) addItem(drive.absolutePath());
  connect(this, &QComboBox::activated, this, [this](int) { emit driveChanged(currentText()); });
}

void DriveList::SetDriveOf(const QString& path) {
  const QString wanted =
      QString::fromStdString(DriveOf(QDir::fromNativeSeparators(path).toStdString()));
  for (int i = 0; i < count(); ++i) {
    if (itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
      setCurrentIndex(i);
      return;
    }
  }
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setObjectName(QStringLiteral("Dir1"));
  connect(this, &QListWidget::itemActivated, this, &FolderList::Enter);
}

bool FolderList::SetPath(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isDir()) return false;
  const QString absolute = QDir(info.absoluteFilePath()).absolutePath();
  clear();
  QDir dir(absolute);
  if (!dir.isRoot()) addItem(QStringLiteral(".."));
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    addItem(name);
  }
  const bool changed = absolute != path_;
  path_ = absolute;
  if (changed) emit pathChanged(path_);
  return true;
}

void FolderList::Enter(QListWidgetItem* item) {
  if (item == nullptr) return;
  QDir dir(path_);
  if (item->text() == QStringLiteral("..")) {
    dir.cdUp();
  } else {
    dir.cd(item->text());
  }
  SetPath(dir.absolutePath());
}

}  // namespace vantrel
