#include "legacy/legacy_windows.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantrel {
namespace {

QWidget* MakeWindow(const char* name, const char* caption, QSize size, QWidget* parent) {
  auto* window = new QWidget(parent);
  window->setObjectName(QString::fromLatin1(name));
  window->setWindowTitle(QString::fromUtf8(caption));
  window->resize(size);
  auto* layout = new QVBoxLayout(window);
  auto* note = new QLabel(QStringLiteral("Not available yet."), window);
  note->setAlignment(Qt::AlignCenter);
  layout->addWidget(note);
  return window;
}

}  // namespace

QWidget* CreateLegacyEmiDisplayWindow(QWidget* parent) {
  return MakeWindow("frmEScr", "2.7GHz SA For EMC Mode Display", QSize(700, 560), parent);
}

QWidget* CreateLegacyEmiControlWindow(QWidget* parent) {
  return MakeWindow("frmControl", "EMC Mode Control Panel", QSize(300, 560), parent);
}

}  // namespace vantrel
