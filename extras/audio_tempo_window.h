// The Tempo of an Audio File window: the file's name, length, sample rate and
// samples, a progress bar while tempiva-analyse reads it in a process of its
// own, then the tempo (exact when the file is a loop of whole 4/4 bars) and
// Use, which puts it into the tempo box. Esc or closing cancels at once.
#pragma once

#include <QProcess>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace extras {

// The analysis program in the running program's folder.
QString AnalyserInProgramFolder();

// "0:13.7", "1:02:03.4": a length in seconds as a clock shows it, to a tenth.
QString ClockLength(double seconds, char separator);

class AudioTempoWindow : public QWidget {
  Q_OBJECT
 public:
  // No line from the analysis for this long: it is stopped and said so.
  static constexpr int kSilentMs = 30000;

  AudioTempoWindow(char separator, QString analyser);
  ~AudioTempoWindow() override;

  // Analyses the file at `path`, stopping any analysis still running.
  void Open(const QString& path);
  // Stops the analysis at once; what it found so far is dropped.
  void Cancel();
  // Puts the window beside `calculator` on its screen: to its right where it
  // fits, else to its left.
  void PlaceBeside(const QWidget& calculator);

  bool running() const { return process_ && process_->state() != QProcess::NotRunning; }
  // What Use writes into the tempo box; none before a tempo is found.
  const std::optional<QString>& tempoText() const { return tempoText_; }
  QLabel* result() const { return result_; }
  QLabel* facts() const { return facts_; }
  QProgressBar* progress() const { return progress_; }
  QPushButton* use() const { return use_; }

 signals:
  void tempoChosen(const QString& tempoText);
  void analysed();  // a tempo or a failure is shown

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ReadLines();
  void Line(const QString& line);
  void Ended(int code, QProcess::ExitStatus status);
  void Fail(const QString& reason);
  void Stop();

  const char separator_;
  const QString analyser_;
  QProcess* process_ = nullptr;
  QTimer silence_;
  bool done_ = false;  // a result or an error line was read
  std::optional<QString> tempoText_;
  QLabel* name_ = nullptr;
  QLabel* facts_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* result_ = nullptr;
  QLabel* sureness_ = nullptr;
  QPushButton* use_ = nullptr;
};

}  // namespace extras
