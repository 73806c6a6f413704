// Hostile typing and pasting into the tempo, the samples and the sample rate:
// whatever arrives, no box shows "inf" or "nan" or more characters than it
// may hold, the delay table stays one tempo's table, and a text that is not a
// number leaves every result as it was.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTest>
#include <array>
#include <cmath>
#include <memory>

#include "calc/numeric_text.h"
#include "program_test_support.h"
#include "window_test_support.h"

namespace {

using uitest::TextOf;

char Separator(const QString& text) { return text == QLatin1String(",") ? ',' : '.'; }

QLineEdit* Field(const ui::CalculatorWindow& window, const QString& name) {
  if (name == QLatin1String("SampleRate")) return window.control<QComboBox>(name)->lineEdit();
  return window.control<QLineEdit>(name);
}

// What an entry into the named box may change.
QStringList Outputs(const ui::CalculatorWindow& window, const QString& name) {
  if (name == QLatin1String("bpm")) {
    return QStringList{TextOf(window, "Samples"),
                       QString::number(uitest::Slider(window, "Slider1"))} +
           uitest::SlotTexts(window);
  }
  if (name == QLatin1String("Samples")) {
    return {TextOf(window, "bpmSPB"), TextOf(window, "txtLength")};
  }
  return {TextOf(window, "Samples")};
}

// One key as the keyboard sends it; a character no key code stands for comes
// with its text alone, as an input method gives it.
void Type(QLineEdit* box, QChar character) {
  if (character.unicode() >= 0x20 && character.unicode() < 0x7f) {
    QTest::keyClicks(box, QString(character));
  } else {
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character), Qt::NoModifier);
  }
}

// Replaces the box's text with `text`, arriving in one piece: inserted as a
// program would, or pasted from the clipboard with Ctrl+V.
void Enter(QLineEdit* box, const QString& text, bool clipboard) {
  box->setFocus();
  box->selectAll();
  if (!clipboard) {
    box->insert(text);
    return;
  }
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

// What is wrong with the window, or nothing: a box longer than its limit; a
// box other than the one typed into that shows "inf" or "nan"; a delay box
// that does not hold a number; a delay table that is not one tempo's table.
// Down the plain note values each is 1 to 4 times the next (2, less what
// cutting to 6 characters takes), and a dotted value 1 to 2 times its plain one.
QString Faults(const ui::CalculatorWindow& window, const QLineEdit* typed) {
  QStringList faults;
  for (const QLineEdit* box : window.findChildren<QLineEdit*>()) {
    const QString name =
        box->objectName().isEmpty() ? box->parent()->objectName() : box->objectName();
    const QString text = box->text();
    if (text.size() > box->maxLength()) {
      faults << QStringLiteral("%1 holds %2 characters").arg(name).arg(text.size());
    }
    if (box != typed && (text.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
                         text.contains(QLatin1String("nan"), Qt::CaseInsensitive))) {
      faults << QStringLiteral("%1 shows \"%2\"").arg(name, text);
    }
  }
  const QStringList delays = uitest::SlotTexts(window);
  std::array<double, 24> values{};
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    const auto value = calc::TextToNumber(delays[slot].toStdString(), window.separator());
    if (!value || delays[slot].size() > 6) {
      faults << QStringLiteral("delay box %1 shows \"%2\"").arg(slot).arg(delays[slot]);
    } else {
      values[static_cast<std::size_t>(slot)] = std::fabs(*value);
    }
  }
  if (!faults.isEmpty()) return faults.join(QLatin1String("; "));
  for (std::size_t plain = 0; plain < 24; plain += 2) {
    const double dotted = values[plain + 1] / values[plain];
    const double halving = plain + 2 < 24 ? values[plain] / values[plain + 2] : 2.0;
    if (!(dotted >= 1.0 && dotted <= 2.0 && halving >= 1.0 && halving <= 4.0)) {
      return QStringLiteral("delay table of mixed tempos: %1").arg(delays.join(QLatin1Char(' ')));
    }
  }
  return {};
}

}  // namespace

class HostileInputTest : public programtest::Fixture {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  // The tempo goes from 90 to the pasted text.
  void tempoPaste_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tableKept");
    QTest::addColumn<QString>("slot0");
    QTest::addColumn<QString>("samples");
    QTest::addColumn<int>("slider");
    QTest::newRow("NaN") << "."
                         << "NaN" << true << "2666.6"
                         << "58800" << 90;
    QTest::newRow("nan") << "."
                         << "nan" << true << "2666.6"
                         << "58800" << 90;
    QTest::newRow("Infinity") << "."
                              << "Infinity" << true << "2666.6"
                              << "58800" << 90;
    QTest::newRow("inf") << "."
                         << "inf" << true << "2666.6"
                         << "58800" << 90;
    QTest::newRow("1e999 beyond range") << "."
                                        << "1e999" << true << "2666.6"
                                        << "58800" << 90;
    QTest::newRow("-1e999 beyond range") << "."
                                         << "-1e999" << true << "2666.6"
                                         << "58800" << 90;
    QTest::newRow("&H10") << "."
                          << "&H10" << true << "2666.6"
                          << "58800" << 90;
    QTest::newRow("0x10") << "."
                          << "0x10" << true << "2666.6"
                          << "58800" << 90;
    QTest::newRow("12a") << "."
                         << "12a" << true << "2666.6"
                         << "58800" << 90;
    QTest::newRow("Arabic-Indic digits") << "."
                                         << "١٢٠" << true << "2666.6"
                                         << "58800" << 90;
    QTest::newRow("full-width digits") << "."
                                       << "１２０" << true << "2666.6"
                                       << "58800" << 90;
    QTest::newRow("tab inside") << "."
                                << "1\t2" << true << "2666.6"
                                << "58800" << 90;
    QTest::newRow("control char first") << "."
                                        << "\x01"
                                           "120"
                                        << true << "2666.6"
                                        << "58800" << 90;
    QTest::newRow("delete char last") << "."
                                      << "120\x7f" << true << "2666.6"
                                      << "58800" << 90;
    QTest::newRow("10000 letters") << "." << QString(10000, QLatin1Char('x')) << true << "2666.6"
                                   << "58800" << 90;
    QTest::newRow("1.5 under comma") << ","
                                     << "1.5" << true << "2666,6"
                                     << "58800" << 90;
    QTest::newRow("1,5 under point") << "."
                                     << "1,5" << true << "2666.6"
                                     << "58800" << 90;
    // Numbers whose tempo divides by zero or overflows: only the slider moves.
    QTest::newRow("-0") << "."
                        << "-0" << true << "2666.6"
                        << "58800" << 0;
    QTest::newRow("1e-999 reads as zero") << "."
                                          << "1e-999" << true << "2666.6"
                                          << "58800" << 0;
    QTest::newRow("1e-310 overflows every delay") << "."
                                                  << "1e-310" << true << "2666.6"
                                                  << "58800" << 0;
    QTest::newRow("-1e308 too long for every delay") << "."
                                                     << "-1e308" << true << "2666.6"
                                                     << "-5.29E-302" << 90;
    QTest::newRow("-1e-96 too long for the longest delays only") << "."
                                                                 << "-1e-96" << false << "2666.6"
                                                                 << "-5.29E+102" << 0;
    // Numbers.
    QTest::newRow("1,5 under comma") << ","
                                     << "1,5" << false << "160000"
                                     << "3528000" << 2;
    QTest::newRow("1.5 under point") << "."
                                     << "1.5" << false << "160000"
                                     << "3528000" << 2;
    QTest::newRow("blanks around") << "."
                                   << "  120  " << false << "2000"
                                   << "44100" << 120;
    QTest::newRow("plus sign") << "."
                               << "+120" << false << "2000"
                               << "44100" << 120;
    QTest::newRow("1e308") << "."
                           << "1e308" << false << "2E-303"
                           << "5.292E-302" << 90;
    QTest::newRow("10000 nines") << "." << QString(10000, QLatin1Char('9')) << false << "0.2400"
                                 << "5.29200529" << 90;
  }
  void tempoPaste() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(bool, tableKept);
    QFETCH(QString, slot0);
    QFETCH(QString, samples);
    QFETCH(int, slider);
    for (const bool clipboard : {false, true}) {
      auto window = uitest::OpenWindow(layout, Separator(separator));
      QVERIFY(window);
      QLineEdit* bpm = uitest::Box(*window, "bpm");
      Enter(bpm, QStringLiteral("90"), false);
      const QStringList before = uitest::SlotTexts(*window);
      Enter(bpm, text, clipboard);
      QVERIFY2(bpm->text() != QLatin1String("90"), "the text did not arrive");
      const QString faults = Faults(*window, bpm);
      QVERIFY2(faults.isEmpty(), qPrintable(faults));
      QCOMPARE(TextOf(*window, "Text1(0)"), slot0);
      QCOMPARE(TextOf(*window, "Samples"), samples);
      QCOMPARE(uitest::Slider(*window, "Slider1"), slider);
      if (tableKept) QCOMPARE(uitest::SlotTexts(*window), before);
    }
  }

  // Samples go from 44100 (loop tempo 120, length 1) to the pasted text, then
  // one beat button is pressed.
  void samplesPaste_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("samples");
    QTest::addColumn<QString>("bpmSPB");
    QTest::addColumn<QString>("txtLength");
    QTest::newRow("NaN doubled") << "."
                                 << "NaN"
                                 << "Command11"
                                 << "NaN"
                                 << "120"
                                 << "1";
    QTest::newRow("nan halved") << "."
                                << "nan"
                                << "Command12"
                                << "nan"
                                << "120"
                                << "1";
    QTest::newRow("Infinity loop") << "."
                                   << "Infinity"
                                   << "Command1"
                                   << "Infinity"
                                   << "120"
                                   << "1";
    QTest::newRow("inf doubled") << "."
                                 << "inf"
                                 << "Command11"
                                 << "inf"
                                 << "120"
                                 << "1";
    QTest::newRow("1e999 doubled") << "."
                                   << "1e999"
                                   << "Command11"
                                   << "1e999"
                                   << "120"
                                   << "1";
    QTest::newRow("-1e999 halved") << "."
                                   << "-1e999"
                                   << "Command12"
                                   << "-1e999"
                                   << "120"
                                   << "1";
    QTest::newRow("&H10 loop") << "."
                               << "&H10"
                               << "Command1"
                               << "&H10"
                               << "120"
                               << "1";
    QTest::newRow("0x10 halved") << "."
                                 << "0x10"
                                 << "Command12"
                                 << "0x10"
                                 << "120"
                                 << "1";
    QTest::newRow("12a doubled") << "."
                                 << "12a"
                                 << "Command11"
                                 << "12a"
                                 << "120"
                                 << "1";
    QTest::newRow("Arabic-Indic loop") << "."
                                       << "١٢٠"
                                       << "Command1"
                                       << "١٢٠"
                                       << "120"
                                       << "1";
    QTest::newRow("full-width halved") << "."
                                       << "１２０"
                                       << "Command12"
                                       << "１２０"
                                       << "120"
                                       << "1";
    QTest::newRow("delete char doubled") << "."
                                         << "44100\x7f"
                                         << "Command11"
                                         << "44100\x7f"
                                         << "120"
                                         << "1";
    QTest::newRow("1.5 under comma doubled") << ","
                                             << "1.5"
                                             << "Command11"
                                             << "1.5"
                                             << "120"
                                             << "1";
    QTest::newRow("10000 letters doubled") << "." << QString(10000, QLatin1Char('x')) << "Command11"
                                           << "xxxxxxxxxx"
                                           << "120"
                                           << "1";
    QTest::newRow("1e308 doubled") << "."
                                   << "1e308"
                                   << "Command11"
                                   << "1e308"
                                   << "5E-302"
                                   << "2E+303";
    QTest::newRow("1e308 halved") << "."
                                  << "1e308"
                                  << "Command12"
                                  << "5E+307"
                                  << "1E-301"
                                  << "1E+303";
    QTest::newRow("-0 loop") << "."
                             << "-0"
                             << "Command1"
                             << "-0"
                             << "120"
                             << "0";
    QTest::newRow("-0 doubled") << "."
                                << "-0"
                                << "Command11"
                                << "0"
                                << "120"
                                << "0";
    QTest::newRow("1e-999 halved") << "."
                                   << "1e-999"
                                   << "Command12"
                                   << "0"
                                   << "120"
                                   << "0";
    QTest::newRow("1,5 under comma doubled") << ","
                                             << "1,5"
                                             << "Command11"
                                             << "3"
                                             << "1,7E+6"
                                             << "6,8E-5";
    QTest::newRow("blanks around loop") << "."
                                        << "  120  "
                                        << "Command1"
                                        << "  120  "
                                        << "44100"
                                        << "0.0027";
    QTest::newRow("plus sign doubled") << "."
                                       << "+120"
                                       << "Command11"
                                       << "240"
                                       << "22050"
                                       << "0.0054";
    QTest::newRow("10000 nines doubled") << "." << QString(10000, QLatin1Char('9')) << "Command11"
                                         << "1.9999E+10"
                                         << "0.0002"
                                         << "453492";
  }
  void samplesPaste() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, button);
    QFETCH(QString, samples);
    QFETCH(QString, bpmSPB);
    QFETCH(QString, txtLength);
    for (const bool clipboard : {false, true}) {
      auto window = uitest::OpenWindow(layout, Separator(separator));
      QVERIFY(window);
      uitest::Click(*window, "Command1");
      QCOMPARE(TextOf(*window, "bpmSPB"), QStringLiteral("120"));
      QLineEdit* box = uitest::Box(*window, "Samples");
      Enter(box, text, clipboard);
      uitest::Click(*window, button);
      const QString faults = Faults(*window, box);
      QVERIFY2(faults.isEmpty(), qPrintable(faults));
      QCOMPARE(TextOf(*window, "Samples"), samples);
      QCOMPARE(TextOf(*window, "bpmSPB"), bpmSPB);
      QCOMPARE(TextOf(*window, "txtLength"), txtLength);
    }
  }

  // The rate goes from 44100 to the pasted text at tempo 120.
  void ratePaste_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("samples");
    QTest::newRow("NaN") << "."
                         << "NaN"
                         << "44100";
    QTest::newRow("Infinity") << "."
                              << "Infinity"
                              << "44100";
    QTest::newRow("inf") << "."
                         << "inf"
                         << "44100";
    QTest::newRow("1e999") << "."
                           << "1e999"
                           << "44100";
    QTest::newRow("-1e999") << "."
                            << "-1e999"
                            << "44100";
    QTest::newRow("&H10") << "."
                          << "&H10"
                          << "44100";
    QTest::newRow("0x10") << "."
                          << "0x10"
                          << "44100";
    QTest::newRow("Arabic-Indic digits") << "."
                                         << "٤٨٠٠٠"
                                         << "44100";
    QTest::newRow("full-width digits") << "."
                                       << "４８０００"
                                       << "44100";
    QTest::newRow("control char inside") << "."
                                         << "48\x01"
                                            "000"
                                         << "44100";
    QTest::newRow("1,5 under point") << "."
                                     << "1,5"
                                     << "44100";
    QTest::newRow("10000 letters") << "." << QString(10000, QLatin1Char('x')) << "44100";
    QTest::newRow("10000 nines beyond range") << "." << QString(10000, QLatin1Char('9')) << "44100";
    QTest::newRow("1e308 times 120 overflows") << "."
                                               << "1e308"
                                               << "44100";
    QTest::newRow("-1e308 times 120 overflows") << "."
                                                << "-1e308"
                                                << "44100";
    QTest::newRow("2e306 times 120 overflows") << "."
                                               << "2e306"
                                               << "44100";
    QTest::newRow("1e306 times 120 fits") << "."
                                          << "1e306"
                                          << "1E+306";
    QTest::newRow("-0") << "."
                        << "-0"
                        << "0";
    QTest::newRow("1e-999 reads as zero") << "."
                                          << "1e-999"
                                          << "0";
    QTest::newRow("1,5 under comma") << ","
                                     << "1,5"
                                     << "1,5";
    QTest::newRow("blanks around") << "."
                                   << "  48000  "
                                   << "48000";
    QTest::newRow("plus sign") << "."
                               << "+96000"
                               << "96000";
  }
  void ratePaste() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, samples);
    for (const bool clipboard : {false, true}) {
      auto window = uitest::OpenWindow(layout, Separator(separator));
      QVERIFY(window);
      QLineEdit* rate = Field(*window, QStringLiteral("SampleRate"));
      Enter(rate, text, clipboard);
      QVERIFY2(rate->text() != QLatin1String("44100"), "the text did not arrive");
      const QString faults = Faults(*window, rate);
      QVERIFY2(faults.isEmpty(), qPrintable(faults));
      QCOMPARE(TextOf(*window, "Samples"), samples);
    }
  }

  // Typed key by key into each box in turn, then the three beat buttons: the
  // window is sound after every key and every button.
  void typedKeyByKey_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::newRow("NaN") << "."
                         << "NaN";
    QTest::newRow("Infinity") << "."
                              << "Infinity";
    QTest::newRow("-1e999") << "."
                            << "-1e999";
    QTest::newRow("1e-999") << "."
                            << "1e-999";
    QTest::newRow("1e308") << "."
                           << "1e308";
    QTest::newRow("-1e308") << "."
                            << "-1e308";
    QTest::newRow("-1e-96") << "."
                            << "-1e-96";
    QTest::newRow("1,5 under comma") << ","
                                     << "1,5";
    QTest::newRow("&H10") << "."
                          << "&H10";
    QTest::newRow("0x10") << "."
                          << "0x10";
    QTest::newRow("Arabic-Indic digits") << "."
                                         << "١٢٠";
    QTest::newRow("full-width digits") << "."
                                       << "１２０";
    QTest::newRow("control chars") << "."
                                   << "1\x01"
                                      "2\x7f"
                                      "0";
    QTest::newRow("1000 nines") << "." << QString(1000, QLatin1Char('9'));
  }
  void typedKeyByKey() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    auto window = uitest::OpenWindow(layout, Separator(separator));
    QVERIFY(window);
    for (const QString name : {"bpm", "Samples", "SampleRate"}) {
      QLineEdit* box = Field(*window, name);
      box->setFocus();
      box->selectAll();
      QTest::keyClick(box, Qt::Key_Backspace);
      for (qsizetype i = 0; i < text.size(); ++i) {
        Type(box, text[i]);
        const QString faults = Faults(*window, box);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QStringLiteral("%1 after key %2: %3").arg(name).arg(i).arg(faults)));
      }
      for (const char* button : {"Command1", "Command11", "Command12"}) {
        uitest::Click(*window, button);
        const QString faults = Faults(*window, box);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QStringLiteral("%1, then %2: %3").arg(name, button, faults)));
      }
      Enter(box, name == QLatin1String("bpm") ? QStringLiteral("120") : QStringLiteral("44100"),
            false);  // so the next box's results are judged alone
    }
  }

  // Every printable ASCII character alone replaces the box's text: a digit
  // is a number, anything else changes nothing the box feeds.
  void everyPrintableCharacter_data() {
    QTest::addColumn<QString>("separator");
    QTest::newRow("point") << ".";
    QTest::newRow("comma") << ",";
  }
  void everyPrintableCharacter() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, separator);
    auto window = uitest::OpenWindow(layout, Separator(separator));
    QVERIFY(window);
    for (const QString name : {"bpm", "Samples", "SampleRate"}) {
      QLineEdit* box = Field(*window, name);
      for (char16_t code = 0x20; code < 0x7f; ++code) {
        const QString typed(QChar{code});
        const QStringList before = Outputs(*window, name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), typed);
        if (name == QLatin1String("Samples")) {
          for (const char* button : {"Command1", "Command11", "Command12"}) {
            uitest::Click(*window, button);
          }
        }
        const QString faults = Faults(*window, box);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QStringLiteral("%1 \"%2\": %3").arg(name, typed, faults)));
        if (code < u'0' || code > u'9') {
          QVERIFY2(Outputs(*window, name) == before,
                   qPrintable(QStringLiteral("%1 \"%2\" changed a result").arg(name, typed)));
        }
      }
    }
  }

 private:
};

QTEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
