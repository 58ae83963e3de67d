#include "Floor.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include "app/Artwork.h"

namespace bench {

namespace {
// The picture, drawn from its retained image.
class Picture : public QWidget {
 public:
  explicit Picture(QWidget* parent) : QWidget(parent), image_(324, 212, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    resize(image_.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter(this).drawImage(event->rect().topLeft(), image_, event->rect());
  }

 private:
  QImage image_;
};

// The gradient, stretched at every paint.
class Viewport : public QWidget {
 public:
  explicit Viewport(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(rect(), SourceBackground()); }
};

class Window : public QWidget {
 public:
  Window()
      : bar_(new QWidget(this)),
        view_(new Viewport(this)),
        picture_(new Picture(view_)),
        h_(new QScrollBar(Qt::Horizontal, this)),
        v_(new QScrollBar(Qt::Vertical, this)) {
    for (int i = 0; i < 2; ++i) (new QPushButton(QStringLiteral("Button"), bar_))->setGeometry(88 * i, 0, 89, 17);
    // Qt restyles every caption of the area whenever a window is activated.
    setWindowTitle(QStringLiteral("SRC WINDOW"));
  }
  QWidget* PictureWidget() const { return picture_; }

 protected:
  void resizeEvent(QResizeEvent*) override {
    const int w = width(), h = height();
    bar_->setGeometry(0, 0, w, 21);
    h_->setGeometry(0, h - 13, w - 13, 13);
    v_->setGeometry(w - 13, 21, 13, h - 34);
    view_->setGeometry(0, 21, w - 15, h - 36);
  }

 private:
  QWidget* bar_;
  Viewport* view_;
  Picture* picture_;
  QScrollBar* h_;
  QScrollBar* v_;
};
}  // namespace

FloorFrame::FloorFrame() : area_(new QMdiArea(this)) {
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(area_);
  for (const char* title : {"File", "Option", "About", "Window"}) menuBar()->addMenu(QString::fromLatin1(title));
  resize(685, 257 + menuBar()->sizeHint().height());  // the editor's frame
  show();
  OpenWindow();
  OpenWindow();
}

QWidget* FloorFrame::OpenWindow() {
  auto* window = new Window();
  QMdiSubWindow* sub = area_->addSubWindow(window);
  sub->show();
  const QSize frame = sub->size() - window->size();
  sub->resize(360 + frame.width(), 300 + frame.height());
  return window->PictureWidget();
}

}  // namespace bench
