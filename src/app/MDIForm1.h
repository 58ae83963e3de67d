#pragma once
// The program's frame: the menus, the MDI area that holds every child window, and the
// start-up order.
#include <QMainWindow>

class QAction;
class QMdiArea;

class MDIForm1 : public QMainWindow {
 public:
  MDIForm1();
  ~MDIForm1() override;

  // Shows the frame and runs MDIForm_Load.
  void Show();

  void MDIForm_Load();
  void aSRC_Window_Click();
  void aEXIT_Click();
  void aDEST_Window_Click();
  void aCOPYRIGHT_Click();

  QMdiArea* Area() const { return area_; }

 protected:
  void closeEvent(QCloseEvent* event) override;  // MDIForm_Unload

 private:
  void BuildMenus();
  QAction* AddItem(QMenu* menu, const QString& caption, void (MDIForm1::*handler)());

  QMdiArea* area_;
};
