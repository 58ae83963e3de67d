// Writes the program's icon for the hicolor theme at each size given, as
// FOLDER/<size>x<size>/apps/NAME.png, from the same design as the window icon.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "app/Artwork.h"

int main(int argc, char* argv[]) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s FOLDER NAME SIZE...\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLatin1(argv[i]).toInt();
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (size < 4 || size % 4 != 0 || !QDir().mkpath(dir) || !TileIcon(size).save(file, "PNG")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
      return 1;
    }
  }
  return 0;
}
