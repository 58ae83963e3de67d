#pragma once
// Helpers shared by the option dialog tests.
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "app/ChildWindow.h"
#include "options/OptionDialog.h"

namespace optiontest {

// Runs the deletions that Unload left to the event loop.
inline void Flush() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

inline void SetTexts(OptionDialog& d, const QString& w, const QString& h, const QString& g) {
  d.t_Width->setText(w);
  d.t_Height->setText(h);
  d.t_Gurid->setText(g);
}

inline QStringList Texts(const OptionDialog& d) {
  return {d.t_Width->text(), d.t_Height->text(), d.t_Gurid->text()};
}

// Both pictures of the window get the size and the same image.
inline void SetPicture(ChildWindow& w, const QImage& image) {
  for (platform::PictureBox* box : {w.Picture2, w.WKP}) {
    box->SetWidth(image.width());
    box->SetHeight(image.height());
    QPainter(&box->Dc()).drawImage(0, 0, image);
    box->MarkChanged(image.rect());
  }
}

// The image at the top-left of a white picture of the given size.
inline QImage OnWhite(const QImage& image, QSize size) {
  QImage out(size, QImage::Format_RGB32);
  out.fill(qRgb(255, 255, 255));
  QPainter(&out).drawImage(0, 0, image);
  return out;
}

inline QSize Size(const platform::PictureBox& box) { return {int(box.Width()), int(box.Height())}; }

}  // namespace optiontest
