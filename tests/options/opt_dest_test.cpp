// The canvas's grid option dialog on a full editor.
#include <QApplication>
#include <QMdiSubWindow>
#include <QtTest>
#include <memory>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "options/DialogDriver.h"
#include "options/OPT_DEST.h"
#include "platform/Gdi.h"
#include "support/TestSupport.h"

using namespace optiontest;

namespace {
const QString kWidthMsg = QStringLiteral("幅に半角数字以外の文字が含まれています。");
const QString kHeightMsg = QStringLiteral("高さに半角数字以外の文字が含まれています。");
const QString kGridMsg = QStringLiteral("グリッドに半角数字以外の文字が含まれています。");
}  // namespace

class OptDestTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  QImage stamped_;

  DEST_W& Canvas() { return DEST_W::Instance(); }
  OPT_DEST& Open() {
    Canvas().Command4_Click();
    OPT_DEST* d = OPT_DEST::Current();
    if (!d) qFatal("no dialog");
    return *d;
  }
  // Presses "OK" with the texts; returns whether the dialog closed.
  bool Ok(const QString& w, const QString& h, const QString& g) {
    OPT_DEST& d = Open();
    SetTexts(d, w, h, g);
    d.Command1->click();
    Flush();
    return OPT_DEST::Current() == nullptr;
  }
  void ExpectUnchanged() {
    QCOMPARE(Size(*Canvas().Picture2), QSize(320, 240));
    QCOMPARE(Size(*Canvas().WKP), QSize(320, 240));
    QCOMPARE(EditorState.DestCellW, 32);
    QCOMPARE(EditorState.DestCellH, 32);
    QCOMPARE(Canvas().WKP->Image(), stamped_);
  }

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    frame_->resize(1000, 800);
    stamped_ = testsupport::PatternImage(320, 240, 3);
    SetPicture(Canvas(), stamped_);
  }
  void cleanup() {
    frame_.reset();
    Flush();
  }

  void opensWithCurrentValuesOnTheCanvasCorner() {
    Canvas().SetLeft(150 * platform::TwipsPerPixelX());
    Canvas().SetTop(90 * platform::TwipsPerPixelY());
    OPT_DEST& d = Open();
    QCOMPARE(Texts(d), QStringList({"320", "240", "32"}));
    QCOMPARE(d.Caption(), QStringLiteral("DEST OPTION"));
    QCOMPARE(d.size(), QSize(202, 170));
    QCOMPARE(d.SubWindow()->pos(), Canvas().SubWindow()->pos());
    QCOMPARE(d.SubWindow()->minimumSize(), d.SubWindow()->maximumSize());
    QCOMPARE(d.Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(d.Label4->text(), QStringLiteral("(注)半角数字で入力してください"));
  }

  void labelsFitTheirBoxes() {
    OPT_DEST& d = Open();
    for (QLabel* label : {d.Label1, d.Label2, d.Label3, d.Label4})
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->text()));
  }

  void tabOrderStartsOnOk() {
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    OPT_DEST& d = Open();
    const QList<QWidget*> order = {d.Command1, d.Command2, d.t_Width, d.t_Height, d.t_Gurid, d.Command1};
    for (QWidget* expected : order) {
      QCOMPARE(QApplication::focusWidget(), expected);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
  }

  void invalidWidth_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("letters") << "abc" << "240";
    QTest::newRow("trailing letter") << "12a" << "240";
    QTest::newRow("too large") << "32768" << "240";
    QTest::newRow("empty") << "" << "240";
    QTest::newRow("height invalid too") << "abc" << "x";
  }
  void invalidWidth() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    testsupport::MessageRecorder rec;
    QVERIFY(!Ok(width, height, "16"));
    QCOMPARE(rec.messages, QStringList({kWidthMsg}));
    QCOMPARE(OPT_DEST::Current()->t_Width->text(), width);
    ExpectUnchanged();
  }

  void ownRefusals_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("message");
    const QString grid = QStringLiteral("グリッドには1以上の数を指定してください。");
    QTest::newRow("grid 0") << "400" << "300" << "0" << grid;
    QTest::newRow("grid -8") << "400" << "300" << "-8" << grid;
    QTest::newRow("grid 0.4 rounds to 0") << "400" << "300" << "0.4" << grid;
    QTest::newRow("width 0") << "0" << "300" << "16" << QStringLiteral("幅に0は指定できません。");
    QTest::newRow("height 0") << "400" << "-0" << "16" << QStringLiteral("高さに0は指定できません。");
    QTest::newRow("text check first") << "0" << "x" << "0" << kHeightMsg;
  }
  void ownRefusals() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, grid);
    QFETCH(QString, message);
    testsupport::MessageRecorder rec;
    QVERIFY(!Ok(width, height, grid));
    QCOMPARE(rec.messages, QStringList({message}));
    ExpectUnchanged();
  }

  void invalidHeightAppliesNoWidth() {
    testsupport::MessageRecorder rec;
    QVERIFY(!Ok("400", "12a", "16"));
    QCOMPARE(rec.messages, QStringList({kHeightMsg}));
    ExpectUnchanged();
  }

  void invalidGrid() {
    testsupport::MessageRecorder rec;
    QVERIFY(!Ok("400", "300", "1e3"));
    QCOMPARE(rec.messages, QStringList({kGridMsg}));
    ExpectUnchanged();
  }

  void notations_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("blanks") << "  64  " << 64;
    QTest::newRow("plus") << "+64" << 64;
    QTest::newRow("half down to even") << "2.5" << 2;
    QTest::newRow("half up to even") << "3.5" << 4;
  }
  void notations() {
    QFETCH(QString, text);
    QFETCH(int, value);
    testsupport::MessageRecorder rec;
    QVERIFY(Ok(text, "240", text));
    QVERIFY(rec.messages.isEmpty());
    QCOMPARE(Size(*Canvas().Picture2), QSize(value, 240));
    QCOMPARE(Size(*Canvas().WKP), QSize(value, 240));
    QCOMPARE(EditorState.DestCellW, value);
    QCOMPARE(EditorState.DestCellH, value);
  }

  void refusedSizeIsSkipped_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("size");
    QTest::newRow("width -32768") << "-32768" << "100" << QSize(320, 100);
    QTest::newRow("width -1") << "-1" << "100" << QSize(320, 100);
    QTest::newRow("height -5") << "100" << "-5" << QSize(100, 240);
    // 20000 x 240 is held; 20000 x 20000 is beyond the largest picture.
    QTest::newRow("area above the limit") << "20000" << "20000" << QSize(20000, 240);
  }
  void refusedSizeIsSkipped() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, size);
    testsupport::MessageRecorder rec;
    QVERIFY(Ok(width, height, "8"));
    QVERIFY(rec.messages.isEmpty());
    QCOMPARE(Size(*Canvas().Picture2), size);
    QCOMPARE(Size(*Canvas().WKP), size);
    QCOMPARE(EditorState.DestCellW, 8);
    QCOMPARE(EditorState.DestCellH, 8);
    QCOMPARE(Canvas().Picture2->Image(), OnWhite(stamped_, size));
  }

  void gridOnlyClearsOutlinesAndKeepsTheRest() {
    EditorState.CurCol(SIDE_DEST) = 2;
    EditorState.ClipW = 64;
    EditorState.ClipH = 32;
    DrawGridOutline(Canvas(), SIDE_DEST, 0x0000FF, 32, 32);
    QVERIFY(Canvas().Picture2->Image() != stamped_);
    QVERIFY(Ok("320", "240", "16"));
    QCOMPARE(EditorState.DestCellW, 16);
    QCOMPARE(EditorState.DestCellH, 16);
    QCOMPARE(Canvas().Picture2->Image(), stamped_);
    QCOMPARE(Canvas().WKP->Image(), stamped_);
    QCOMPARE(EditorState.CurCol(SIDE_DEST), 2);
    QCOMPARE(EditorState.ClipW, 64);
  }

  void enlargingKeepsStampsTopLeftOnWhite() {
    QVERIFY(Ok("400", "300", "32"));
    const QImage expected = OnWhite(stamped_, QSize(400, 300));
    QCOMPARE(Canvas().Picture2->Image(), expected);
    QCOMPARE(Canvas().WKP->Image(), expected);
    // The scroll range follows the new picture.
    QCOMPARE(Canvas().HScroll1->Max(), 400 - Canvas().HScroll1->Width() + 8);
  }

  void enterAndEscapePressNothing_data() {
    QTest::addColumn<int>("focus");  // 0 OK, 1 CANCEL, 2 a text box
    QTest::addColumn<int>("key");
    QTest::newRow("Return on OK") << 0 << int(Qt::Key_Return);
    QTest::newRow("Enter on OK") << 0 << int(Qt::Key_Enter);
    QTest::newRow("Escape on OK") << 0 << int(Qt::Key_Escape);
    QTest::newRow("Return on CANCEL") << 1 << int(Qt::Key_Return);
    QTest::newRow("Escape on CANCEL") << 1 << int(Qt::Key_Escape);
    QTest::newRow("Return in a text box") << 2 << int(Qt::Key_Return);
    QTest::newRow("Escape in a text box") << 2 << int(Qt::Key_Escape);
  }
  void enterAndEscapePressNothing() {
    QFETCH(int, focus);
    QFETCH(int, key);
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    OPT_DEST& d = Open();
    SetTexts(d, "400", "300", "16");
    QWidget* target = focus == 0 ? static_cast<QWidget*>(d.Command1)
                                 : focus == 1 ? static_cast<QWidget*>(d.Command2) : d.t_Height;
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, Qt::Key(key));
    Flush();
    QCOMPARE(OPT_DEST::Current(), &d);
    ExpectUnchanged();
  }

  void cancelAndCloseChangeNothing_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("CANCEL") << false;
    QTest::newRow("close box") << true;
  }
  void cancelAndCloseChangeNothing() {
    QFETCH(bool, closeBox);
    OPT_DEST& d = Open();
    SetTexts(d, "400", "300", "16");
    if (closeBox)
      d.SubWindow()->close();
    else
      d.Command2->click();
    Flush();
    QVERIFY(!OPT_DEST::Current());
    ExpectUnchanged();
    QCOMPARE(Texts(Open()), QStringList({"320", "240", "32"}));
  }

  void optionAgainKeepsPlaceAndTexts() {
    OPT_DEST& d = Open();
    d.SubWindow()->move(300, 200);
    SetTexts(d, "1", "2", "3");
    QCOMPARE(&Open(), &d);
    QCOMPARE(d.SubWindow()->pos(), QPoint(300, 200));
    QCOMPARE(Texts(d), QStringList({"1", "2", "3"}));
  }
};

QTEST_MAIN(OptDestTest)
#include "opt_dest_test.moc"
