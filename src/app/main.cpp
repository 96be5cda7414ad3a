#include <QApplication>

#include "app/main_frame.h"
#include "platform/screen_scale.h"

int main(int argc, char** argv) {
  vantrel::ScaleForLargeScreen(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vantrel"));
  vantrel::MainFrame frame;
  frame.showMaximized();
  return app.exec();
}
