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

// Points XDG_CONFIG_HOME at a fresh temporary directory for one test and puts
// the previous value back afterwards. Create it in init(), reset it in cleanup().
class ConfigHome {
 public:
  ConfigHome()
      : hadValue_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
        previous_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
  }
  ~ConfigHome() {
    if (hadValue_) {
      qputenv("XDG_CONFIG_HOME", previous_);
    } else {
      qunsetenv("XDG_CONFIG_HOME");
    }
  }
  ConfigHome(const ConfigHome&) = delete;
  ConfigHome& operator=(const ConfigHome&) = delete;

  bool isValid() const { return dir_.isValid(); }
  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  bool hadValue_;
  QByteArray previous_;
};

// The fixture of every test class that starts the calculator or touches its
// files: each test function runs with a settings directory of its own, and the
// windows it unloaded are destroyed before that directory goes. A class adds
// its own steps in SetUp and TearDown, never in init() or cleanup().
class Fixture : public QObject {
  Q_OBJECT

 protected:
  const ConfigHome& home() const { return *home_; }
  virtual void SetUp() {}
  virtual void TearDown() {}

 private slots:
  void init();
  void cleanup();

 private:
  std::unique_ptr<ConfigHome> home_;
};

inline const QString kAbsent = QStringLiteral("<absent>");

// The stored text of a key of the calculator's section, or "<absent>".
inline QString Stored(const QString& key) {
  return settings::ReadSetting(settings::kApplication, settings::kSection, key, kAbsent);
}
// The stored text of one of the calculator's keys, or the text of its default.
template <typename T>
QString StoredOrDefault(const settings::Setting<T>& key) {
  const QString text = Stored(QString::fromLatin1(key.name));
  return text == kAbsent ? key.format(key.defaultValue, '.') : text;
}
inline bool Store(const QString& key, const QString& text) {
  return settings::WriteSetting(settings::kApplication, settings::kSection, key, text);
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
