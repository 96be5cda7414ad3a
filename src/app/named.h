#pragma once
// A new control with its objectName, in one expression.
#include <QString>

namespace vantrel {

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace vantrel
