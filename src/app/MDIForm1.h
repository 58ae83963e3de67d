#pragma once
#include <QMainWindow>

class QMdiArea;

// The program's frame: menus, the MDI area that holds every child window, the start-up order.
class MDIForm1 : public QMainWindow {
 public:
  MDIForm1();
  // Creates the frame's contents and runs MDIForm_Load.
  void Show();

 private:
  QMdiArea* area_;
};
