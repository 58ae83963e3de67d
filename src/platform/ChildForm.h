#pragma once
// A form living in a sub-window of the one MDI area. Outer size and position are in twips,
// the inner size in the form's scale unit; Load shows the sub-window, then runs Form_Load.
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/Numeric.h"

#include <QMdiSubWindow>

class QMdiArea;

namespace platform {

// The frame registers its MDI area here; every child form is loaded into it.
void SetMdiArea(QMdiArea* area);
QMdiArea* MdiArea();

double TwipsPerPixelX();
double TwipsPerPixelY();

class ChildForm : public QWidget {
 public:
  enum class FrameStyle {
    SizableTool,  // resizable, small caption, no caption buttons; closing is refused
    FixedTool,    // fixed size, small caption, a close box meaning "cancel"
  };
  enum ScaleModes { vbTwips = 1, vbPixels = 3 };

  explicit ChildForm(FrameStyle style);
  ~ChildForm() override;

  void Load();
  // Closes and destroys the form once control returns to the event loop.
  void Unload();
  bool IsLoaded() const { return !subWindow_.isNull(); }
  QMdiSubWindow* SubWindow() const { return subWindow_.data(); }

  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption) { setWindowTitle(caption); }

  int ScaleMode() const { return scaleMode_; }
  void SetScaleMode(int mode) { scaleMode_ = mode; }
  double ScaleWidth() const;
  double ScaleHeight() const;

  // Outer size and position, in twips; position in the MDI area's client coordinates.
  double Width() const;
  double Height() const;
  void SetWidth(double twips);
  void SetHeight(double twips);
  double Left() const;
  double Top() const;
  void SetLeft(double twips);
  void SetTop(double twips);

 protected:
  virtual void Form_Load() {}
  virtual void Form_Resize() {}
  // The user closed the window (close box, Ctrl+F4); only FixedTool windows get here.
  virtual void Form_QueryClose() { Unload(); }

  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  FrameStyle style_;
  int scaleMode_ = vbPixels;
  bool running_ = false;  // Form_Load has started; resizes now reach Form_Resize
  bool unloading_ = false;
  QPointer<QMdiSubWindow> subWindow_;
};

}  // namespace platform
