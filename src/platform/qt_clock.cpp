#include "platform/qt_clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

namespace vantrel {

QtClock::QtClock() {
  timer_.start();
}

std::uint32_t QtClock::NowMs() {
  // Truncation to 32 bits is the counter's wrap; ElapsedMs handles it.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(timer_.elapsed()));
}

void QtClock::ProcessEvents() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

void QtClock::Sleep(int ms) {
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

DateTime QtClock::LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return DateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

}  // namespace vantrel
