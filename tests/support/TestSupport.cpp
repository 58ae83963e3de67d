#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "platform/MessageBox.h"

namespace testsupport {

MessageRecorder::MessageRecorder() {
  platform::SetMessageSink([this](const QString& text) { messages << text; });
}

MessageRecorder::~MessageRecorder() { platform::SetMessageSink({}); }

QImage PatternImage(int width, int height, int seed) {
  QImage img(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < width; ++x) {
      // Channels stay within 16..239, so no pixel is a pure outline colour.
      const int r = 16 + (x * 7 + seed * 31) % 224;
      const int g = 16 + (y * 5 + seed * 17) % 224;
      const int b = 16 + ((x ^ y) + seed * 13) % 224;
      row[x] = qRgb(r, g, b);
    }
  }
  return img;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPointF pos, Qt::MouseButton button,
               Qt::MouseButtons held) {
  const QPointF global = widget->mapToGlobal(pos);
  QMouseEvent event(type, pos, global, button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

std::unique_ptr<MDIForm1> StartEditor() {
  EditorState = EditorStateRecord{};
  auto frame = std::make_unique<MDIForm1>();
  frame->Show();
  return frame;
}

}  // namespace testsupport
