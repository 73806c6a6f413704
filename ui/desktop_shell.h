// Opening documents and web pages with the user's associated program, and the
// program's message box. The calculator speaks to the desktop only through
// this interface, so tests can put a fake in its place.
#pragma once

#include <QString>

class QWidget;

namespace ui {

// Results of Open: greater than 32 is success; otherwise one of these codes.
namespace shell {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kNoAssociation = 31;
inline constexpr int kSuccess = 42;
inline constexpr int kShowNormal = 1;  // show command: a normal window
}  // namespace shell

class DesktopShell {
 public:
  virtual ~DesktopShell() = default;

  // Opens `file` (a path or a web address) with `verb` ("Open", or empty for
  // the default action) for `owner` (null: the desktop), passing `parameters`
  // and starting in `directory`; returns a result in the codes above.
  virtual int Open(QWidget* owner, const QString& verb, const QString& file,
                   const QString& parameters, const QString& directory, int showCommand) = 0;

  // Shows `text` with one OK button, no icon and the caption `title`, and
  // returns when the user closes it.
  virtual void ShowMessage(const QString& title, const QString& text) = 0;
};

// The desktop's own: files and addresses go to xdg-open, started directly
// (never through a shell) with the target as its one argument.
class XdgDesktopShell : public DesktopShell {
 public:
  // `opener` is the program that opens a target; found on PATH when relative.
  explicit XdgDesktopShell(QString opener = QStringLiteral("xdg-open"));

  int Open(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
           const QString& directory, int showCommand) override;
  void ShowMessage(const QString& title, const QString& text) override;

 private:
  QString opener_;
};

}  // namespace ui
