// Saves a 300 x 300 picture at the path given and prints the refusal, if any: a separate program,
// so that a test can run a save as another user.
#include <QCoreApplication>
#include <QImage>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/files/PictureFile.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  QImage picture(300, 300, QImage::Format_RGB32);
  picture.fill(qRgb(30, 120, 220));
  try {
    platform::SavePicture(picture, QString::fromLocal8Bit(argv[1]));
  } catch (const platform::PlatformError& e) {
    std::fputs(e.Text().toUtf8().constData(), stdout);
    return 3;
  }
  return 0;
}
