#pragma once
// The floor the window benchmarks measure the editor against: what a minimal Qt program
// needs to show the same windows. A frame of the editor's size with a menu bar and an MDI
// area; each sub-window, captioned as a new source window is, holds two 89 x 17 buttons in
// a bar, a viewport with a 324 x 212 picture over the 160 x 120 gradient stretched to fill
// it, and two scroll bars, in a 360 x 300 inner area.
#include <QMainWindow>

class QMdiArea;
class QWidget;

namespace bench {

class FloorFrame : public QMainWindow {
 public:
  // Shown with two windows open, as the editor starts with the canvas and window 1.
  FloorFrame();
  // Opens one more window and returns its picture.
  QWidget* OpenWindow();

 private:
  QMdiArea* area_;
};

}  // namespace bench
