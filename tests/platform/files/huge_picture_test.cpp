// Pictures at the size limit: the largest area every reader takes loads whole. Needs about
// 1.5 GiB, so it runs alone with the other tests that need that much.
#include <QTemporaryDir>
#include <QtTest>

#include "platform/files/PictureFile.h"
#include "platform/PictureLimits.h"
#include "support/GifWriter.h"

class HugePictureTest : public QObject {
  Q_OBJECT

 private slots:
  // Qt's GIF reader refuses 16384 x 16384 itself, which is why the limit stops one pixel short.
  void gifJustInsideTheAreaLimitLoads() {
    QTemporaryDir dir;
    const int w = int(platform::kAreaLimitSide), h = w - 1;
    QVERIFY(platform::FitsPictureLimit(w, h));
    const QByteArray gif = gifwriter::Encode(w, h, {qRgb(20, 40, 60), qRgb(220, 200, 180)},
                                             [h](int, int y) { return y == h - 1 ? 1 : 0; });
    QFile file(dir.filePath(QStringLiteral("huge.gif")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(gif), gif.size());
    file.close();
    const QImage picture = platform::LoadPicture(file.fileName());
    QCOMPARE(picture.size(), QSize(w, h));
    QCOMPARE(picture.pixel(0, 0), qRgb(20, 40, 60));
    QCOMPARE(picture.pixel(w - 1, h - 2), qRgb(20, 40, 60));
    QCOMPARE(picture.pixel(w - 1, h - 1), qRgb(220, 200, 180));
  }
};

QTEST_MAIN(HugePictureTest)
#include "huge_picture_test.moc"
