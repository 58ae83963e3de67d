#include <QApplication>

#include "app/MDIForm1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  MDIForm1 frame;
  frame.Show();
  return app.exec();
}
