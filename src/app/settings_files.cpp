#include "app/settings_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMetaProperty>
#include <QLineEdit>
#include <QRadioButton>

#include "app/process_globals.h"
#include "platform/small_file.h"
#include "util/notifier.h"
#include "util/text.h"

namespace vantrel {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string S(const QString& text) {
  return text.toStdString();
}

std::uint32_t ColourValue(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) + 256u * static_cast<std::uint32_t>(c.green()) +
         65536u * static_cast<std::uint32_t>(c.blue());
}

void SelectByText(QComboBox* list, const std::string& value) {
  const QString wanted = Q(ToLower(Trim(value)));
  for (int i = 0; i < list->count(); ++i) {
    if (list->itemText(i).toLower() == wanted) {
      list->setCurrentIndex(i);
      emit list->activated(i);  // a choice refills the lists that follow it
      return;
    }
  }
}

std::string FileName(const QString& path) {
  return S(QFileInfo(path).fileName());
}

}  // namespace

bool DirectoryExists(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

WindowSettingsStore::WindowSettingsStore(QWidget& window, Notifier& notifier)
    : window_(window), notifier_(notifier) {
  for (std::size_t i = 0; i < carried_.size(); ++i) carried_[i] = kWindowSettings[i].defaultValue;
}

QWidget* WindowSettingsStore::Control(const SettingKey& key) const {
  return window_.findChild<QWidget*>(QString::fromLatin1(key.control));
}

void WindowSettingsStore::Put(std::size_t index, const std::string& value) {
  const SettingKey& key = kWindowSettings[index];
  carried_[index] = value;
  QWidget* control = Control(key);
  if (control == nullptr) return;
  switch (key.kind) {
    case SettingKind::Boolean:
      if (auto* option = qobject_cast<QRadioButton*>(control)) {
        option->setChecked(ReadSettingBoolean(value).value_or(false));
      }
      break;
    case SettingKind::Check:
      if (auto* box = qobject_cast<QCheckBox*>(control)) {
        // The file keeps a check box as 0 (clear), 1 (ticked) or 2 (greyed).
        const int state = ReadSettingCheck(value).value_or(0);
        if (state == 2) box->setTristate(true);
        box->setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
      }
      break;
    case SettingKind::Colour:
      if (auto* swatch = qobject_cast<QLabel*>(control)) {
        const std::uint32_t c = ReadSettingColour(value).value_or(0);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        swatch->setAutoFillBackground(true);
        swatch->setPalette(palette);
      }
      break;
    case SettingKind::Folder:
      if (DirectoryExists(Q(value)) && setFolder) setFolder(Q(value));
      break;
    case SettingKind::Text:
      if (key.appliedLast) {
        if (auto* list = qobject_cast<QComboBox*>(control)) SelectByText(list, value);
      } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        if (list->isEditable()) {
          list->setEditText(Q(value));
        } else if (const int i = list->findText(Q(value)); i >= 0) {
          list->setCurrentIndex(i);
        }
      } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        box->setText(Q(value));
      } else if (const QMetaProperty user = control->metaObject()->userProperty();
                 user.isValid()) {
        // A control of the window's own kind keeps its value in its user property.
        user.write(control, Q(value));
      }
      break;
  }
}

void WindowSettingsStore::PutDefault(std::size_t index) {
  const SettingKey& key = kWindowSettings[index];
  switch (key.rule) {
    case SettingDefault::Value:
      Put(index, key.defaultValue);
      break;
    case SettingDefault::Unchanged:
      break;
    case SettingDefault::ProgramFolder:
      if (programFolder && setFolder) setFolder(programFolder());
      carried_[index] = programFolder ? S(programFolder()) : "";
      break;
    case SettingDefault::FirstItem:
      if (auto* list = qobject_cast<QComboBox*>(Control(key)); list && list->count() > 0) {
        list->setCurrentIndex(0);
        emit list->activated(0);
      }
      break;
  }
}

std::string WindowSettingsStore::Take(std::size_t index) const {
  const SettingKey& key = kWindowSettings[index];
  QWidget* control = Control(key);
  if (control == nullptr) return carried_[index];
  if (auto* option = qobject_cast<QRadioButton*>(control)) {
    return WriteSettingBoolean(option->isChecked());
  }
  if (auto* box = qobject_cast<QCheckBox*>(control)) {
    const Qt::CheckState state = box->checkState();
    return state == Qt::Checked ? "1" : state == Qt::PartiallyChecked ? "2" : "0";
  }
  if (auto* list = qobject_cast<QComboBox*>(control)) return S(list->currentText());
  if (auto* box = qobject_cast<QLineEdit*>(control)) return S(box->text());
  if (auto* swatch = qobject_cast<QLabel*>(control); swatch && key.kind == SettingKind::Colour) {
    return std::to_string(ColourValue(swatch->palette().color(QPalette::Window)));
  }
  if (const QMetaProperty user = control->metaObject()->userProperty(); user.isValid()) {
    return S(user.read(control).toString());
  }
  return carried_[index];
}

void WindowSettingsStore::ApplyDefaults() {
  for (std::size_t i = 0; i < kWindowSettings.size(); ++i) PutDefault(i);
}

void WindowSettingsStore::Load(const QString& path) {
  const SmallFileRead file = ReadSmallFile(path);
  if (file.missing) {
    ApplyDefaults();
    return;
  }
  if (!file.bytes) {
    notifier_.ShowMessage(S(file.error), MessageIcon::Critical);
    ApplyDefaults();
    return;
  }
  const WindowSettingsText read = ParseWindowSettings(DecodeSettingsBytes(*file.bytes));
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < kWindowSettings.size(); ++i) {
      if (kWindowSettings[i].appliedLast != (pass == 1)) continue;
      if (read.values[i]) Put(i, *read.values[i]);
    }
  }
  if (read.problems.empty()) return;
  std::string message;
  for (const SettingProblem& p : read.problems) {
    const int index = FindWindowSetting(p.key);
    if (index >= 0 && !read.values[static_cast<std::size_t>(index)]) {
      PutDefault(static_cast<std::size_t>(index));
    }
    message += FileName(path) + ", line " + std::to_string(p.line) + ": \"" + p.key + "=" +
               p.value + "\" " + p.reason + "; the default is used.\r\n";
  }
  notifier_.ShowMessage(message.substr(0, message.size() - 2), MessageIcon::Critical);
}

bool WindowSettingsStore::Save(const QString& path) {
  std::array<std::string, kWindowSettingCount> values;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = Take(i);
  return ReplaceSmallFile(path, WriteWindowSettings(values));
}

void LoadGlobalFlagsFile(const QString& path, Notifier& notifier) {
  const SmallFileRead file = ReadSmallFile(path);
  if (file.missing) {
    DontShowEMISteps = 0;
    return;
  }
  if (!file.bytes) {
    notifier.ShowMessage(S(file.error), MessageIcon::Critical);
    return;
  }
  std::string problem;
  if (const auto flag = ParseGlobalFlags(DecodeSettingsBytes(*file.bytes), problem)) {
    DontShowEMISteps = static_cast<std::uint8_t>(*flag);
  }
  if (!problem.empty()) notifier.ShowMessage(FileName(path) + ", " + problem, MessageIcon::Critical);
}

bool SaveGlobalFlagsFile(const QString& path) {
  return ReplaceSmallFile(path, WriteGlobalFlags(DontShowEMISteps));
}

}  // namespace vantrel
