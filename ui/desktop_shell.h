// Opening documents and web pages with the user's associated program, and the
// program's message box. The calculator speaks to the desktop only through
// this interface, so tests can put a fake in its place.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace ui {

// Results of Open: greater than 32 is success; otherwise one of these codes.
namespace shell {
inline constexpr int kUnknownFailure = 0;  // no nearer code: the unknown-error message
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kBadAssociation = 27;  // the associated program could not do it
inline constexpr int kNoAssociation = 31;
inline constexpr int kSuccess = 42;
inline constexpr int kShowNormal = 1;  // show command: a normal window
}  // namespace shell

class DesktopShell {
 public:
  // Receives, from the event loop and at most once, the result of an open
  // that Open reported as started and that failed afterwards.
  using LateFailure = std::function<void(int result)>;

  virtual ~DesktopShell() = default;

  // Opens `file` (a path or a web address) with `verb` ("Open", or empty for
  // the default action) for `owner` (null: the desktop), passing `parameters`
  // and starting in `directory`; returns a result in the codes above.
  virtual int Open(QWidget* owner, const QString& verb, const QString& file,
                   const QString& parameters, const QString& directory, int showCommand) = 0;

  // Open, and a failure found once the opener has started goes to
  // `lateFailure`. By default an open that started cannot fail later.
  virtual int OpenWatched(QWidget* owner, const QString& verb, const QString& file,
                          const QString& parameters, const QString& directory, int showCommand,
                          LateFailure /*lateFailure*/) {
    return Open(owner, verb, file, parameters, directory, showCommand);
  }

  // Shows `text` with one OK button, no icon and the caption `title`, and
  // returns when the user closes it.
  virtual void ShowMessage(const QString& title, const QString& text) = 0;
  // ShowMessage, with the box above `over` (null: no window) at the window
  // system: ShowMessage finds it in messageOver() while it runs.
  void ShowMessageOver(QWidget* over, const QString& title, const QString& text) {
    const QPointer<QWidget> outer = messageOver_;
    messageOver_ = over;
    ShowMessage(title, text);
    messageOver_ = outer;
  }

 protected:
  // The window the message being shown stands above; null when none or gone.
  QWidget* messageOver() const { return messageOver_; }

 private:
  QPointer<QWidget> messageOver_;
};

// The desktop's own. Before opening, asks xdg-mime which program handles the
// target's type and checks that its desktop entry exists; then starts
// xdg-open with the target as its one argument (never through a shell), and
// reports its failing exit status late, if it comes within the opener's
// grace time. Neither is waited for: both report through the event loop, so
// the window stays responsive however long the opener runs (it may run as
// long as the browser it started).
class XdgDesktopShell : public DesktopShell {
 public:
  // How long the type question may take; without an answer the target is
  // opened anyway, since the opener reports its own failure.
  static constexpr int kQueryTimeoutMs = 3000;

  // xdg-open ends once the target is handed over, or runs the browser itself
  // and ends with it: an opener still running this long after its start has
  // opened the target, and how it ends later is not reported.
  static constexpr int kOpenerGraceMs = 5000;

  // `opener` opens a target, `typeQuery` answers which program handles a
  // type; each found on PATH when relative.
  explicit XdgDesktopShell(QString opener = QStringLiteral("xdg-open"),
                           QString typeQuery = QStringLiteral("xdg-mime"),
                           int openerGraceMs = kOpenerGraceMs);
  // Ends the helpers still running: a page the opener has already handed to
  // a browser stays open, since the browser is its child, not ours.
  ~XdgDesktopShell() override;
  XdgDesktopShell(const XdgDesktopShell&) = delete;
  XdgDesktopShell& operator=(const XdgDesktopShell&) = delete;

  int Open(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
           const QString& directory, int showCommand) override;
  int OpenWatched(QWidget* owner, const QString& verb, const QString& file,
                  const QString& parameters, const QString& directory, int showCommand,
                  LateFailure lateFailure) override;
  void ShowMessage(const QString& title, const QString& text) override;

  // No type question or opener is running any more: every result is in.
  bool Idle() const;

  // The opener's exit status as a result code: the nearest of the codes
  // above to xdg-open's documented ones.
  static int ResultOfOpenerExit(bool crashed, int exitCode);

  // Whether xdg-mime's answer names a desktop entry that exists in the XDG
  // applications folders.
  static bool NamesInstalledEntry(const QString& answer);

 private:
  struct Launch {
    QString program;
    QStringList arguments;
    QString workingDirectory;
    LateFailure lateFailure;
  };
  void AskForHandler(const QString& query, const QString& mimeType, Launch launch);
  void StartOpener(const Launch& launch);

  QString opener_;
  QString typeQuery_;
  int openerGraceMs_;
  QObject running_;  // parent of the helper processes still running
};

}  // namespace ui
