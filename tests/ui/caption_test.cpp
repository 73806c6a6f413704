// Captions read whole, from the pixels of the rendered window: every glyph of
// a label shows, and a clear row separates its ink from any control that
// covers part of the label. Slider tick marks read as a scale. Run at scale 1
// and, by a second CTest entry, at QT_SCALE_FACTOR=2.
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <optional>

#include "window_test_support.h"

namespace {

// Ink of a label drawn alone on a transparent image: its alpha per device pixel.
QImage AloneInk(QWidget* label, qreal ratio) {
  QImage image(label->size() * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  label->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

// The same text drawn with nothing to clip it: the whole of the caption's ink.
int FreeInkSum(const QWidget* label, const QString& text, qreal ratio) {
  const QFontMetrics metrics(label->font());
  const QSize size(metrics.horizontalAdvance(text) + 8, metrics.height() * 3);
  QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setFont(label->font());
  painter.setPen(Qt::black);
  painter.drawText(QRect(QPoint(4, metrics.height()), size), Qt::AlignLeft | Qt::AlignTop, text);
  painter.end();
  int sum = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) sum += qAlpha(image.pixel(x, y));
  return sum;
}

// A widget's rectangle in the window, in device pixels.
QRect DeviceRect(const QWidget* widget, const QWidget* window, qreal ratio) {
  const QRect logical(widget->mapTo(window, QPoint()), widget->size());
  return QRect(QPoint(qRound(logical.left() * ratio), qRound(logical.top() * ratio)),
               logical.size() * ratio);
}

// The widgets drawn above `label` that overlap its rectangle: later siblings
// of the label or of any of its containers.
QList<const QWidget*> Covers(const QWidget* label, const QWidget* window) {
  const QRect area(label->mapTo(window, QPoint()), label->size());
  QList<const QWidget*> covers;
  for (const QWidget* w = label; w != window; w = w->parentWidget()) {
    const QObjectList& siblings = w->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size(); ++i) {
      const auto* sibling = qobject_cast<const QWidget*>(siblings[i]);
      if (!sibling || !sibling->isVisibleTo(window)) continue;
      if (QRect(sibling->mapTo(window, QPoint()), sibling->size()).intersects(area))
        covers << sibling;
    }
  }
  return covers;
}

struct Ink {
  int top = 0, bottom = 0;  // device rows in the window, bottom exclusive
};

// The rows holding ink in the given window columns of a label drawn alone at `at`.
std::optional<Ink> InkRows(const QImage& alone, QPoint at, int firstColumn, int lastColumn) {
  std::optional<Ink> ink;
  const int from = std::max(0, firstColumn - at.x());
  const int to = std::min(alone.width() - 1, lastColumn - at.x());
  for (int y = 0; y < alone.height(); ++y) {
    for (int x = from; x <= to; ++x) {
      if (qAlpha(alone.pixel(x, y)) == 0) continue;
      if (!ink) ink = Ink{at.y() + y, at.y() + y + 1};
      ink->bottom = at.y() + y + 1;
      break;
    }
  }
  return ink;
}

// WCAG contrast ratio of two colours.
double Contrast(QColor a, QColor b) {
  const auto luminance = [](QColor c) {
    const auto channel = [](int value) {
      const double v = value / 255.0;
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Marks in one row of pixels: runs of columns that stand out from the row's
// commonest colour by at least `contrast`.
int MarksInRow(const QImage& image, int y, int left, int right, double contrast) {
  QHash<QRgb, int> counts;
  for (int x = left; x <= right; ++x) ++counts[image.pixel(x, y)];
  QRgb back = image.pixel(left, y);
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > counts.value(back)) back = it.key();
  int marks = 0;
  bool inMark = false;
  for (int x = left; x <= right; ++x) {
    const bool standsOut = Contrast(image.pixelColor(x, y), QColor(back)) >= contrast;
    if (standsOut && !inMark) ++marks;
    inMark = standsOut;
  }
  return marks;
}

}  // namespace

class CaptionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void captionsReadWhole() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    const qreal ratio = window->devicePixelRatio();
    const int clearRows = qCeil(ratio);  // one clear row of the window's own pixels
    const QImage shown = window->grab().toImage();
    QStringList faults;
    for (const ui::ControlRow& entry : window->layout().controls) {
      if (entry.kind != ui::Kind::Label || !entry.visible || entry.text.isEmpty()) continue;
      QWidget* label = window->control(entry.name);
      const QString caption = QStringLiteral("%1 \"%2\"").arg(entry.name, entry.text);
      const QImage alone = AloneInk(label, ratio);
      const QRect area = DeviceRect(label, window.get(), ratio);

      int aloneSum = 0;
      for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x) aloneSum += qAlpha(alone.pixel(x, y));
      if (aloneSum < FreeInkSum(label, entry.text, ratio) * 98 / 100)
        faults << caption + QStringLiteral(": glyphs cut by the label's own rectangle");

      // Strong ink must show in the window: nothing drawn over it.
      label->hide();
      const QImage without = window->grab().toImage();
      label->show();
      int hidden = 0;
      for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x)
          if (qAlpha(alone.pixel(x, y)) >= 128 && shown.pixel(area.topLeft() + QPoint(x, y)) ==
                                                      without.pixel(area.topLeft() + QPoint(x, y)))
            ++hidden;
      if (hidden > 0) faults << caption + QStringLiteral(": %1 ink pixels covered").arg(hidden);

      // A clear row between the ink and every control over the label, in
      // the columns they share.
      const std::optional<Ink> ink = InkRows(alone, area.topLeft(), area.left(), area.right());
      if (!ink) {
        faults << caption + QStringLiteral(": no ink");
        continue;
      }
      QString below = QStringLiteral("nothing below");
      std::optional<int> nearest;
      for (const QWidget* cover : Covers(label, window.get())) {
        QRect box = DeviceRect(cover, window.get(), ratio);
        if (qobject_cast<const QLabel*>(cover)) {
          // A label is transparent: it covers only with its own ink.
          const QImage otherInk = AloneInk(const_cast<QWidget*>(cover), ratio);
          const std::optional<Ink> rows = InkRows(otherInk, box.topLeft(), box.left(), box.right());
          if (!rows) continue;
          box = QRect(box.left(), rows->top, box.width(), rows->bottom - rows->top);
        }
        const std::optional<Ink> shared = InkRows(alone, area.topLeft(), box.left(), box.right());
        if (!shared) continue;
        // Negative: that many ink rows lie on the cover.
        int gap = 0;
        if (box.top() > shared->top) {
          gap = box.top() - shared->bottom;
          if (!nearest || gap < *nearest) {
            nearest = gap;
            below = QStringLiteral("%1 clear rows above %2").arg(gap).arg(cover->objectName());
          }
        } else {
          gap = shared->top - box.bottom() - 1;
        }
        if (gap < clearRows)
          faults << caption + QStringLiteral(": %1 clear rows from %2 (ink rows %3-%4, %2 %5-%6)")
                                  .arg(gap)
                                  .arg(cover->objectName())
                                  .arg(shared->top)
                                  .arg(shared->bottom - 1)
                                  .arg(box.top())
                                  .arg(box.bottom());
      }
      qInfo("%s scale %g %s: ink rows %d-%d, %s", qPrintable(layout), ratio, qPrintable(caption),
            ink->top, ink->bottom - 1, qPrintable(below));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
  }

  // A slider's tick marks read as a scale: one mark per step of the tick
  // spacing, apart from each other, and where a slider lies on the white
  // keyboard panel, dark enough to read on it (3:1, the least for a graphic).
  void tickMarks_data() {
    QTest::addColumn<QString>("inLayout");  // empty: both
    QTest::addColumn<QString>("slider");
    QTest::addColumn<int>("marks");
    QTest::addColumn<double>("contrast");
    QTest::newRow("tempo: every 5 BPM") << ""
                                        << "Slider1" << 49 << 1.2;
    QTest::newRow("octave on the white panel") << "large"
                                               << "sldOctave" << 11 << 3.0;
  }
  void tickMarks() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, inLayout);
    QFETCH(QString, slider);
    QFETCH(int, marks);
    QFETCH(double, contrast);
    if (!inLayout.isEmpty() && inLayout != layout) QSKIP("the other layout's slider");
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    const qreal ratio = window->devicePixelRatio();
    const QImage shown = window->grab().toImage();
    // The slider's outermost columns may carry the panel's outline; the
    // marks lie further in, under the handle's centre at either end.
    const int inset = qCeil(2 * ratio);
    const QRect area =
        DeviceRect(window->control(slider), window.get(), ratio).adjusted(inset, 0, -inset, 0);
    // The row that shows the most marks is the row of tick marks.
    int most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      most = std::max(most, MarksInRow(shown, y, area.left(), area.right(), contrast));
    QCOMPARE(most, marks);
  }
};

QTEST_MAIN(CaptionTest)
#include "caption_test.moc"
