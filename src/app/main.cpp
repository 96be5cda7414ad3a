#include <QApplication>

#include "app/main_frame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vantrel"));
  vantrel::MainFrame frame;
  frame.showMaximized();
  return app.exec();
}
