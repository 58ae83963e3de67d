// Saves a 300 x 300 picture at the path given and prints the refusal, if any: a separate program,
// so that a test can run a save as another user or under limits of its own. A second argument
// "in-place" saves as in a folder that allows no temporary file.
#include <QCoreApplication>
#include <QImage>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/files/Faults.h"
#include "platform/files/PictureFile.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2 || argc > 3) return 2;
  platform::InjectTemporaryFileFault(argc == 3 && QByteArray(argv[2]) == "in-place");
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
