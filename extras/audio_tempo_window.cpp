#include "audio_tempo_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "beside.h"
#include "calc/rounded_text.h"
#include "calc/tempo_range.h"

namespace extras {
namespace {

constexpr int kWidth = 280;
constexpr int kPermille = 1000;
constexpr int kKillWaitMs = 2000;
constexpr qint64 kLongestLine = 4096;  // bytes: more without a line feed is not ours
constexpr double kTempoPoints = 20;

QString WithSeparator(QString text, char separator) {
  return text.replace(QLatin1Char('.'), QLatin1Char(separator));
}

QString Samples(qint64 frames) { return QStringLiteral("%1 samples").arg(frames); }

}  // namespace

QString AnalyserInProgramFolder() {
  return QCoreApplication::applicationDirPath() + QStringLiteral("/tempiva-analyse");
}

QString ClockLength(double seconds, char separator) {
  const auto tenths = static_cast<qint64>(std::llround(std::max(0.0, seconds) * 10));
  const qint64 minutes = tenths / 600;
  const QString rest = WithSeparator(
      QStringLiteral("%1.%2").arg((tenths % 600) / 10, 2, 10, QLatin1Char('0')).arg(tenths % 10),
      separator);
  if (minutes < 60) return QStringLiteral("%1:%2").arg(minutes).arg(rest);
  return QStringLiteral("%1:%2:%3")
      .arg(minutes / 60)
      .arg(minutes % 60, 2, 10, QLatin1Char('0'))
      .arg(rest);
}

AudioTempoWindow::AudioTempoWindow(char separator, QString analyser)
    : QWidget(nullptr, Qt::Window), separator_(separator), analyser_(std::move(analyser)) {
  setWindowTitle(QStringLiteral("Tempo of an Audio File"));
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* layout = new QVBoxLayout(this);
  name_ = new QLabel(this);
  name_->setTextFormat(Qt::PlainText);
  name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  facts_ = new QLabel(this);
  facts_->setTextFormat(Qt::PlainText);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, kPermille);
  progress_->setTextVisible(false);
  progress_->setAccessibleName(QStringLiteral("Analysis progress"));
  result_ = new QLabel(this);
  result_->setTextFormat(Qt::PlainText);
  result_->setWordWrap(true);
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont font = result_->font();
  font.setPointSizeF(kTempoPoints);
  result_->setFont(font);
  sureness_ = new QLabel(this);
  sureness_->setTextFormat(Qt::PlainText);
  use_ = new QPushButton(QStringLiteral("&Use"), this);
  use_->setToolTip(QStringLiteral("Put this tempo into the tempo box"));
  use_->setEnabled(false);
  for (QWidget* widget : {static_cast<QWidget*>(name_), static_cast<QWidget*>(facts_),
                          static_cast<QWidget*>(progress_), static_cast<QWidget*>(result_),
                          static_cast<QWidget*>(sureness_), static_cast<QWidget*>(use_)}) {
    layout->addWidget(widget);
  }
  setMinimumWidth(kWidth);
  connect(use_, &QPushButton::clicked, this, [this] {
    if (tempoText_) emit tempoChosen(*tempoText_);
  });
  silence_.setSingleShot(true);
  silence_.setInterval(kSilentMs);
  connect(&silence_, &QTimer::timeout, this,
          [this] { Fail(QStringLiteral("the analysis stopped answering")); });
}

AudioTempoWindow::~AudioTempoWindow() { Stop(); }

void AudioTempoWindow::Open(const QString& path) {
  Stop();
  done_ = false;
  tempoText_.reset();
  name_->setText(QFileInfo(path).fileName());
  name_->setToolTip(path);
  facts_->setText(QStringLiteral("Reading…"));
  progress_->setRange(0, kPermille);
  progress_->setValue(0);
  progress_->show();
  result_->clear();
  sureness_->clear();
  use_->setEnabled(false);
  process_ = new QProcess(this);
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  connect(process_, &QProcess::readyReadStandardOutput, this, &AudioTempoWindow::ReadLines);
  connect(process_, &QProcess::finished, this, &AudioTempoWindow::Ended);
  connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      Fail(QStringLiteral("cannot run the tempo analysis (%1)").arg(analyser_));
    }
  });
  silence_.start();
  process_->start(analyser_, {QStringLiteral("--"), path});
}

void AudioTempoWindow::Stop() {
  silence_.stop();
  if (!process_) return;
  QProcess* process = std::exchange(process_, nullptr);
  process->disconnect(this);
  if (process->state() != QProcess::NotRunning) {
    process->kill();
    process->waitForFinished(kKillWaitMs);  // a killed child ends at once: bounded anyway
  }
  process->deleteLater();
}

void AudioTempoWindow::Cancel() {
  if (!running()) return;
  Stop();
  progress_->hide();
  result_->setText(QStringLiteral("Cancelled"));
}

void AudioTempoWindow::ReadLines() {
  while (process_ && process_->canReadLine()) {
    Line(QString::fromUtf8(process_->readLine()).trimmed());
  }
  if (process_ && process_->bytesAvailable() > kLongestLine) {
    Fail(QStringLiteral("the analysis answered nonsense"));
  }
}

void AudioTempoWindow::Line(const QString& line) {
  silence_.start();
  const QStringList fields = line.split(QLatin1Char('\t'));
  const QString& kind = fields.front();
  if (kind == QLatin1String("progress") && fields.size() == 2) {
    const int permille = fields[1].toInt();
    if (permille < 0) {
      progress_->setRange(0, 0);  // a length not known: busy
    } else {
      progress_->setValue(std::clamp(permille, 0, kPermille));
    }
  } else if (kind == QLatin1String("info") && fields.size() == 4) {
    const int rate = fields[1].toInt();
    const qint64 frames = fields[3].toLongLong();
    facts_->setText(frames > 0 && rate > 0
                        ? QStringLiteral("%1 · %2 Hz · %3")
                              .arg(ClockLength(static_cast<double>(frames) / rate, separator_))
                              .arg(rate)
                              .arg(Samples(frames))
                        : QStringLiteral("%1 Hz").arg(rate));
    facts_->setProperty("rate", rate);
  } else if (kind == QLatin1String("tempo") && fields.size() == 6) {
    done_ = true;
    bool ok = false;
    const double bpm = fields[1].toDouble(&ok);
    const double confidence = fields[2].toDouble();
    const int bars = fields[3].toInt();
    const double loopBpm = fields[4].toDouble();
    const qint64 frames = fields[5].toLongLong();
    const int rate = facts_->property("rate").toInt();
    if (!ok || !calc::IsSourceTempo(bars > 0 ? loopBpm : bpm) || rate <= 0) {
      Fail(QStringLiteral("the analysis answered nonsense"));
      return;
    }
    silence_.stop();
    facts_->setText(QStringLiteral("%1 · %2 Hz · %3")
                        .arg(ClockLength(static_cast<double>(frames) / rate, separator_))
                        .arg(rate)
                        .arg(Samples(frames)));
    progress_->hide();
    if (bars > 0) {
      const auto exact = calc::RoundedText(loopBpm, 3, separator_);
      tempoText_ = QString::fromStdString(exact.value_or(""));
      result_->setText(QStringLiteral("%1 %2: %3 BPM")
                           .arg(bars)
                           .arg(bars == 1 ? QStringLiteral("bar") : QStringLiteral("bars"))
                           .arg(*tempoText_));
    } else {
      tempoText_ = WithSeparator(QString::number(bpm, 'f', 1), separator_);
      result_->setText(QStringLiteral("%1 BPM").arg(*tempoText_));
    }
    sureness_->setText(QStringLiteral("%1% sure").arg(std::lround(confidence * 100)));
    use_->setEnabled(true);
    emit analysed();
  } else if (kind == QLatin1String("error") && fields.size() >= 2) {
    done_ = true;
    Fail(line.section(QLatin1Char('\t'), 1));
  }
}

void AudioTempoWindow::Ended(int code, QProcess::ExitStatus status) {
  silence_.stop();
  ReadLines();  // the last lines may come with the end
  if (done_) return;
  Fail(status == QProcess::CrashExit
           ? QStringLiteral("the analysis stopped before the end (it crashed)")
           : QStringLiteral("the analysis ended without a result (status %1)").arg(code));
}

void AudioTempoWindow::Fail(const QString& reason) {
  done_ = true;
  Stop();
  tempoText_.reset();
  use_->setEnabled(false);
  progress_->hide();
  sureness_->clear();
  QString text = reason;
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  result_->setText(text);
  emit analysed();
}

void AudioTempoWindow::PlaceBeside(const QWidget& calculator) {
  extras::PlaceBeside(*this, calculator);
}

void AudioTempoWindow::keyPressEvent(QKeyEvent* event) {
  if (event->keyCombination() == QKeyCombination(Qt::Key_Escape)) {
    close();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void AudioTempoWindow::closeEvent(QCloseEvent* event) {
  Cancel();
  QWidget::closeEvent(event);
}

}  // namespace extras
