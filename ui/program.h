// The calculator program: its two main windows (the compact MainForm and the
// large MainFormBig) and the About box; loading them, switching layouts,
// exiting, the saved settings, Help and About. A window is loaded on first
// use, kept while hidden and unloaded on exit; the program ends when none is
// loaded.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

#include "about_box.h"
#include "calculator_window.h"
#include "saved_settings.h"

namespace ui {

class DesktopShell;

enum class Which { Compact, Large };

// What Help shows for a failed open, by the shell's result.
QString HelpMessage(int result);

class Program : public QObject {
  Q_OBJECT

 public:
  // `programDirectory` is where the help page lies: by default the directory
  // of the running executable, links resolved.
  Program(char separator, DesktopShell& shell, QString programDirectory = QString());
  ~Program() override;

  // Loads the compact window, which restores the saved settings and shows
  // the saved layout.
  void Start();

  CalculatorWindow* window(Which which) const;  // null while not loaded
  // The loaded main windows, the compact one first.
  std::vector<CalculatorWindow*> windows() const;
  // The main window on screen now; null when neither is shown.
  CalculatorWindow* shownWindow() const;
  AboutBox* about() const { return about_; }
  bool running() const;

  // What the program does, for every caller outside the event wiring.
  // Opens the help page, or says why it cannot in a message box above `from`
  // (null: the calculator window shown when the message comes).
  void ShowHelp(QWidget* from = nullptr);
  // Shows the About box over `from`, marking both windows' About buttons.
  void ShowAbout(Which from);
  // Ends the run from `which` (its Exit button or close box): stores what the
  // end of a run stores, in one write, then unloads both windows.
  void End(Which which);
  // Closes the About box; its unload clears the marks on the About buttons.
  void CloseAbout();

  // Handlers, named after the window's control and event; each does what its
  // control asks through the operations above.
  void Form_Load(Which which);
  void Max_Click();
  void Min_Click();
  void Command2_Click(Which which) { End(which); }  // Exit
  // The unload of `which` takes the other window with it.
  void Form_Unload(Which which);
  void Command3_Click() { ShowHelp(); }                   // Help
  void Command4_Click(Which which) { ShowAbout(which); }  // About
  // The About box's unload: the About buttons lose their mark.
  void About_Unload();

  // Ends the program as the visible window's close box would, and closes the
  // About box: for a session that logs out or a terminate request.
  void CloseAll();

 signals:
  // The run ends from `which`: said once, before the end of the run is stored.
  void runEnding(ui::Which which);
  // No window is loaded any more: the program ends.
  void finished();
  // A main window was created and is about to run its Form_Load: the moment
  // for the extras to attach to it, before it is first shown.
  void windowCreated(ui::Which which, ui::CalculatorWindow* window);

 private:
  struct Slot {
    QPointer<CalculatorWindow> window;
    bool unloading = false;
  };
  Slot& slot(Which which) { return which == Which::Compact ? compact_ : large_; }
  const Slot& slot(Which which) const { return which == Which::Compact ? compact_ : large_; }
  CalculatorWindow* Load(Which which);
  // Unloading a window that is not loaded, or whose unload is already
  // running, does nothing; the window is destroyed once its handler returns.
  void Unload(Which which);
  SavedSettings::Lines EndOfRunValues(Which which) const;
  // Opens a document of the program's folder; the shell's result. A failure
  // found later is said above `from`.
  int StartDoc(QString& docName, QWidget* from);
  // Says `text` in a message box above `from`, or above the calculator window
  // shown when `from` is null or gone.
  void ShowMessage(QWidget* from, const QString& text);
  void EndIfNothingLoaded();

  const char separator_;
  DesktopShell& shell_;
  const QString programDirectory_;
  Slot compact_;
  Slot large_;
  QPointer<AboutBox> about_;
  bool aboutUnloading_ = false;
  bool showCompactAtStart_ = true;
  SavedSettings saved_;
};

}  // namespace ui
