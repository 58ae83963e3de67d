#include "platform/ChildForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>

#include "platform/Errors.h"
#include "platform/Guard.h"

namespace platform {

namespace {
QPointer<QMdiArea>& Area() {
  static QPointer<QMdiArea> area;
  return area;
}

// Tool windows wear a smaller title bar than document windows.
class ToolWindowStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_TitleBarHeight) return 18;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

QStyle* ToolStyle() {
  static QStyle* style = new ToolWindowStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  return style;
}

double Dpi(bool horizontal) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96.0;
  return dpi > 0 ? dpi : 96.0;
}

int ToPixels(double twips, double tpp) {
  const Long px = RoundToLong(twips / tpp);
  if (px < 0) Raise(ErrorKind::RefusedSize, QString::number(px));
  return px;
}
}  // namespace

void SetMdiArea(QMdiArea* area) { Area() = area; }
QMdiArea* MdiArea() { return Area(); }

double TwipsPerPixelX() { return 1440.0 / Dpi(true); }
double TwipsPerPixelY() { return 1440.0 / Dpi(false); }

ChildForm::ChildForm(FrameStyle style) : style_(style) {}

ChildForm::~ChildForm() = default;

void ChildForm::Load() {
  if (subWindow_) return;
  QMdiArea* area = MdiArea();
  if (!area) Raise(ErrorKind::Failed, QStringLiteral("MDI"));
  Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (style_ == FrameStyle::FixedTool) flags |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
  subWindow_ = area->addSubWindow(this, flags);
  subWindow_->setStyle(ToolStyle());
  subWindow_->setOption(QMdiSubWindow::RubberBandResize, false);
  subWindow_->show();
  running_ = true;
  Form_Load();
  // The first showing counts as a resize, as it does for a form that was just loaded.
  Form_Resize();
}

void ChildForm::Unload() {
  if (!subWindow_ || unloading_) return;
  unloading_ = true;
  QMdiSubWindow* sw = subWindow_;
  subWindow_ = nullptr;
  running_ = false;
  sw->hide();
  if (QMdiArea* area = MdiArea()) area->removeSubWindow(sw);
  sw->deleteLater();
}

double ChildForm::ScaleWidth() const {
  return scaleMode_ == vbTwips ? width() * TwipsPerPixelX() : width();
}
double ChildForm::ScaleHeight() const {
  return scaleMode_ == vbTwips ? height() * TwipsPerPixelY() : height();
}

double ChildForm::Width() const { return subWindow_ ? subWindow_->width() * TwipsPerPixelX() : 0; }
double ChildForm::Height() const { return subWindow_ ? subWindow_->height() * TwipsPerPixelY() : 0; }
double ChildForm::Left() const { return subWindow_ ? subWindow_->x() * TwipsPerPixelX() : 0; }
double ChildForm::Top() const { return subWindow_ ? subWindow_->y() * TwipsPerPixelY() : 0; }

void ChildForm::SetWidth(double twips) {
  if (!subWindow_) Raise(ErrorKind::Failed);
  subWindow_->resize(ToPixels(twips, TwipsPerPixelX()), subWindow_->height());
}
void ChildForm::SetHeight(double twips) {
  if (!subWindow_) Raise(ErrorKind::Failed);
  subWindow_->resize(subWindow_->width(), ToPixels(twips, TwipsPerPixelY()));
}
void ChildForm::SetLeft(double twips) {
  if (!subWindow_) Raise(ErrorKind::Failed);
  subWindow_->move(RoundToLong(twips / TwipsPerPixelX()), subWindow_->y());
}
void ChildForm::SetTop(double twips) {
  if (!subWindow_) Raise(ErrorKind::Failed);
  subWindow_->move(subWindow_->x(), RoundToLong(twips / TwipsPerPixelY()));
}

void ChildForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (running_) Guard([this] { Form_Resize(); });
}

void ChildForm::closeEvent(QCloseEvent* event) {
  // Sizable windows stay for the whole run: their table entries and the clip point at them.
  event->ignore();
  if (style_ == FrameStyle::FixedTool && !unloading_) Guard([this] { Form_QueryClose(); });
}

}  // namespace platform
