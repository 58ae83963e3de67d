// Scroll bar ranges and events, and the handler guard around real button clicks.
#include <QtTest>

#include "platform/CommandButton.h"
#include "platform/Errors.h"
#include "platform/ScrollBar.h"
#include "support/TestSupport.h"

class ControlsTest : public QObject {
  Q_OBJECT
 private slots:
  void maxIsSixteenBit() {
    platform::ScrollBar bar(Qt::Horizontal, nullptr);
    bar.SetMax(32767);
    QCOMPARE(bar.Max(), platform::Integer(32767));
    QVERIFY_THROWS_EXCEPTION(platform::PlatformError, bar.SetMax(32768));
    QCOMPARE(bar.Max(), platform::Integer(32767));
  }

  void lowerMaxMovesValueBeforeReturning() {
    platform::ScrollBar bar(Qt::Vertical, nullptr);
    bar.SetMax(300);
    bar.SetValue(250);
    QList<int> seen;
    bar.Change = [&] { seen << bar.Value(); };
    bar.SetMax(145);
    QCOMPARE(seen, QList<int>{145});
    QCOMPARE(bar.Value(), platform::Integer(145));
  }

  void thumbDragRaisesScroll() {
    platform::ScrollBar bar(Qt::Horizontal, nullptr);
    bar.SetMax(100);
    int scrolls = 0, changes = 0;
    bar.Scroll = [&] { ++scrolls; };
    bar.Change = [&] { ++changes; };
    bar.setSliderDown(true);
    bar.setSliderPosition(40);
    bar.setSliderDown(false);
    QCOMPARE(scrolls, 1);
    QCOMPARE(changes, 1);
    QCOMPARE(bar.Value(), platform::Integer(40));
  }

  void failingHandlerIsReportedAndTheProgramGoesOn() {
    testsupport::MessageRecorder recorder;
    platform::CommandButton button(QStringLiteral("OK"), nullptr);
    int runs = 0;
    button.Click = [&] {
      ++runs;
      platform::Raise(platform::ErrorKind::DivisionByZero);
    };
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(runs, 2);
    QCOMPARE(recorder.messages.size(), 2);
    QVERIFY(recorder.messages[0].contains(QStringLiteral("0 で除算しました。")));
  }
};

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
