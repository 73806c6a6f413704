// Shared pieces of the program tests: a desktop shell that records what it is
// asked, a private settings directory for every test, and short ways to read
// and write the calculator's saved settings.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QProcess>
#include <QSlider>
#include <QString>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <memory>

#include "calculator_window.h"
#include "desktop_shell.h"
#include "extras.h"
#include "program.h"
#include "saved_settings.h"
#include "settings.h"

namespace programtest {

class FakeShell : public ui::DesktopShell {
 public:
  struct OpenCall {
    QWidget* owner;
    QString verb, file, parameters, directory;
    int showCommand;
  };
  struct Message {
    QString title, text;
  };

  int Open(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
           const QString& directory, int showCommand) override {
    opened.append({owner, verb, file, parameters, directory, showCommand});
    return result;
  }
  void ShowMessage(const QString& title, const QString& text) override {
    messages.append({title, text});
  }

  int result = ui::shell::kSuccess;
  QList<OpenCall> opened;
  QList<Message> messages;
};

// Sets an environment variable while it lives, and puts back what was there
// (or its absence) afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const QByteArray& value)
      : name_(name), hadValue_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnvironment() {
    if (hadValue_) {
      qputenv(name_, previous_);
    } else {
      qunsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  bool hadValue_;
  QByteArray previous_;
};

// Points XDG_CONFIG_HOME at a fresh temporary directory while it lives.
class ConfigHome {
 public:
  ConfigHome() : variable_("XDG_CONFIG_HOME", dir_.path().toLocal8Bit()) {}

  bool isValid() const { return dir_.isValid(); }
  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  ScopedEnvironment variable_;
};

// One run of the program as tpv120 runs it, with its extras; "large" switches
// to the large layout first.
class ProgramRun {
 public:
  explicit ProgramRun(char separator = '.') : separator_(separator) {}
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // The window shown, active; false when it did not come up.
  bool Start(const QString& layout = QStringLiteral("compact"));

  ui::Program& program() { return *program_; }
  extras::Extras& extras() { return *extras_; }
  FakeShell& shell() { return shell_; }
  ui::CalculatorWindow* window(ui::Which which) const { return program_->window(which); }
  ui::CalculatorWindow* shown() const;

 private:
  FakeShell shell_;
  char separator_;
  std::unique_ptr<ui::Program> program_;
  std::unique_ptr<extras::Extras> extras_;
};

// The fixture of every test class that starts the calculator or touches its
// files: each test function runs with a settings directory of its own, the
// run it started ends with it, and the windows it unloaded are destroyed
// before that directory goes. A class adds its own steps in SetUp and
// TearDown, never in init() or cleanup().
class Fixture : public QObject {
  Q_OBJECT

 protected:
  const ConfigHome& home() const { return *home_; }
  // A fresh, empty settings directory for the rest of the test.
  void NewHome();
  // Ends the test's run of the program, if any, and starts one from the files
  // as tpv120 starts: the window shown, or null when it did not come up.
  ui::CalculatorWindow* Restart(const QString& layout = QStringLiteral("compact"),
                                char separator = '.');
  ProgramRun& run() { return *run_; }
  virtual void SetUp() {}
  virtual void TearDown() {}

 private slots:
  void init();
  void cleanup();

 private:
  std::unique_ptr<ConfigHome> home_;
  std::unique_ptr<ProgramRun> run_;
};

inline const QString kAbsent = QStringLiteral("<absent>");

// A key's stored text in an application's section, or `absent`; a key
// written alone, in one replacement of the file.
inline QString ReadSetting(const QString& application, const QString& section, const QString& key,
                           const QString& absent) {
  return settings::ReadSection(application, section).value(key, absent);
}
inline bool WriteSetting(const QString& application, const QString& section, const QString& key,
                         const QString& text) {
  return settings::WriteSettings(application, section, {{key, text}});
}

// The stored text of a key of the calculator's section, or "<absent>".
inline QString Stored(const QString& key) {
  return ReadSetting(settings::kApplication, settings::kSection, key, kAbsent);
}
// The stored text of one of the calculator's keys, or the text of its default.
template <typename T>
QString StoredOrDefault(const settings::Setting<T>& key) {
  const QString text = Stored(QString::fromLatin1(key.name));
  return text == kAbsent ? key.format(key.defaultValue, '.') : text;
}
inline bool Store(const QString& key, const QString& text) {
  return WriteSetting(settings::kApplication, settings::kSection, key, text);
}

inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// What the code under test writes to standard error, while the object lives.
class ErrorOutput {
 public:
  ErrorOutput();
  ~ErrorOutput() { Restore(); }
  ErrorOutput(const ErrorOutput&) = delete;
  ErrorOutput& operator=(const ErrorOutput&) = delete;

  // Ends the capture; what was written, a line each.
  QStringList Lines();

 private:
  void Restore();
  QTemporaryFile file_;
  int saved_ = -1;
};

// The process has set up its terminate handler: its signal mask says so.
bool CatchesTerminate(const QProcess& process);

// The application as tpv120 sets it up: its name (which begins the settings
// store's messages) and its look.
void InitCalculator();

// Destroys the windows the program has unloaded.
inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

inline QString Text(const ui::CalculatorWindow* window, const char* name) {
  if (window == nullptr) return QStringLiteral("<not loaded>");
  const auto* box = window->control<QLineEdit>(name);
  return box ? box->text() : QStringLiteral("<no box %1>").arg(name);
}
inline int Position(const ui::CalculatorWindow* window, const char* name) {
  if (window == nullptr) return -1000;
  const auto* slider = window->control<QSlider>(name);
  return slider ? slider->value() : -1000;
}
inline void SetText(ui::CalculatorWindow* window, const char* name, const QString& text) {
  window->control<QLineEdit>(name)->setText(text);
}

}  // namespace programtest
