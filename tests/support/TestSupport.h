#pragma once
// Shared test helpers: recorded message boxes, generated pictures, exact mouse events.
#include <QEvent>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <memory>

class MDIForm1;

namespace testsupport {

// Records every message box instead of showing it, for the lifetime of the object.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  QStringList messages;
};

// A picture whose every pixel has a colour derived from its position and the seed,
// never pure green, yellow, red or white, so outlines stand out.
QImage PatternImage(int width, int height, int seed = 0);

// Sends one mouse event straight to the widget, position in widget pixels.
void SendMouse(QWidget* widget, QEvent::Type type, QPointF pos, Qt::MouseButton button,
               Qt::MouseButtons held);

// A fresh editor: the editor state zeroed as at process start, then the frame shown and
// its start-up run (canvas plus source window 1). Destroying it closes every window.
std::unique_ptr<MDIForm1> StartEditor();

}  // namespace testsupport
