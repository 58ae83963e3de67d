// Checked Long arithmetic, half-even rounding and the option dialogs' text rule.
#include <QtTest>
#include <limits>

#include "platform/Errors.h"
#include "platform/Numeric.h"
#include "platform/TextNumber.h"

using platform::ErrorKind;
using platform::Long;

Q_DECLARE_METATYPE(ErrorKind)

namespace {
// The kind of error an operation raises, or nothing.
template <typename F>
std::optional<ErrorKind> ErrorOf(F&& f) {
  try {
    f();
  } catch (const platform::PlatformError& e) {
    return e.Kind();
  }
  return std::nullopt;
}
}  // namespace

class NumericTest : public QObject {
  Q_OBJECT
 private slots:
  void roundsHalfToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("31.5") << 31.5 << 32;
    QTest::newRow("30.5") << 30.5 << 30;
    QTest::newRow("31.4") << 31.4 << 31;
    QTest::newRow("63.4") << 63.4 << 63;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-40") << -40.0 << -40;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
  }
  void roundsHalfToEven() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(platform::RoundToLong(value), expected);
    QCOMPARE(int(platform::RoundToInteger(value)), expected);
  }

  void refusesWhatDoesNotFit() {
    const Long max = std::numeric_limits<Long>::max(), min = std::numeric_limits<Long>::min();
    QCOMPARE(ErrorOf([&] { platform::CheckedAdd(max, 1); }), ErrorKind::Overflow);
    QCOMPARE(ErrorOf([&] { platform::CheckedSub(min, 1); }), ErrorKind::Overflow);
    QCOMPARE(ErrorOf([&] { platform::CheckedMul(65536, 32768); }), ErrorKind::Overflow);
    QCOMPARE(ErrorOf([&] { platform::CheckedDiv(min, -1); }), ErrorKind::Overflow);
    QCOMPARE(ErrorOf([&] { platform::CheckedDiv(5, 0); }), ErrorKind::DivisionByZero);
    QCOMPARE(ErrorOf([&] { platform::CheckedMul16(15, 2185); }), ErrorKind::Overflow);
    QCOMPARE(ErrorOf([&] { platform::RoundToInteger(32767.5); }), ErrorKind::Overflow);
    QCOMPARE(ErrorOf([&] { platform::RoundToLong(std::numeric_limits<double>::quiet_NaN()); }),
             ErrorKind::Overflow);
    QCOMPARE(platform::CheckedMul16(15, 2184), platform::Integer(32760));
    QCOMPARE(platform::CheckedMul(-65536, 32768), min);
  }

  void dividesTowardZero() {
    QCOMPARE(platform::CheckedDiv(-31, 32), 0);
    QCOMPARE(platform::CheckedDiv(-32, 32), -1);
    QCOMPARE(platform::CheckedDiv(-40, 32), -1);
    QCOMPARE(platform::CheckedDiv(63, 32), 1);
  }

  void textToInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<int>("value");
    QTest::newRow("blanks") << " 64 " << true << 64;
    QTest::newRow("plus") << "+64" << true << 64;
    QTest::newRow("minus") << "-12" << true << -12;
    QTest::newRow("2.5") << "2.5" << true << 2;
    QTest::newRow("3.5") << "3.5" << true << 4;
    QTest::newRow("lowest") << "-32768" << true << -32768;
    QTest::newRow("highest") << "32767" << true << 32767;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("leading point") << ".6" << true << 1;
    QTest::newRow("too big") << "32768" << false << 0;
    QTest::newRow("rounds too big") << "32767.5" << false << 0;
    QTest::newRow("too small") << "-32769" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
    QTest::newRow("full-width digits") << QString::fromUtf8("６４") << false << 0;
  }
  void textToInteger() {
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QFETCH(int, value);
    const auto result = platform::TextToInteger(text);
    QCOMPARE(result.has_value(), passes);
    if (passes) QCOMPARE(int(*result), value);
  }
};

QTEST_APPLESS_MAIN(NumericTest)
#include "numeric_test.moc"
