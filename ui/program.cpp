#include "program.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWindow>
#include <cmath>
#include <optional>

#include "build_info.h"
#include "calc/numeric_text.h"
#include "calc/steps.h"
#include "desktop_shell.h"
#include "settings.h"
#include "stacking.h"

namespace ui {
namespace {

using calc::FailurePolicy;
using calc::StepRunner;

constexpr int kAboutOffsetLeft = 200;  // twips, from the large window's corner
constexpr int kAboutOffsetTop = 350;

// Kept as designed: the messages name the help file and the program by their
// old names (index.htm, TPV120.EXE) and keep their spelling ("occured");
// users and the help page quote them as they are.
struct HelpFailure {
  int result;
  const char* message;
};
constexpr HelpFailure kHelpFailures[] = {
    {2,
     "HTML Help File not found (index.htm). Make sure it resides in the same directory as "
     "TPV120.EXE"},
    {3, "Path to HTML Help file not found"},
    {5, "Access denied"},
    {8, "Out of memory"},
    {11, "Invalid EXE file or error in EXE image"},
    {26, "A sharing violation occurred"},
    {27, "Incomplete or invalid file association"},
    {28, "DDE Time out"},
    {29, "DDE transaction failed"},
    {30, "DDE busy"},
    {31,
     "No association for HTML file extension - You need an Internet browser to see this "
     "file!"},
    {32, "DLL not found"},
};
constexpr char kUnknownHelpFailure[] =
    "An unknown error occured. Make sure you have a web browser and the index.htm file in the "
    "directory";

Which Other(Which which) { return which == Which::Compact ? Which::Large : Which::Compact; }

// A control of the window, by its accessor: the same control of each layout.
using BoxOf = QLineEdit* (CalculatorWindow::*)() const;
using SliderOf = QSlider* (CalculatorWindow::*)() const;

// The note calculator's boxes and the samples box, copied in this order on a
// switch of layout.
constexpr BoxOf kNoteAndSamples[] = {
    &CalculatorWindow::noteBox, &CalculatorWindow::noteFrequencyBox, &CalculatorWindow::octaveBox,
    &CalculatorWindow::midiNumberBox, &CalculatorWindow::samplesBox};

// The window's position is its outer top-left corner, as the window system
// has it now: QWidget::pos() can still lack a frame the window manager added
// after the window last moved.
QPoint OuterCorner(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return handle ? handle->framePosition() : window.pos();
}
// Wayland tells no window where it stands: what Qt reports there is no place.
bool PlacesReported() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
// Window edges in twips.
float LeftTwips(const QWidget& window) { return float(OuterCorner(window).x() * kTwipsPerPixel); }
float TopTwips(const QWidget& window) { return float(OuterCorner(window).y() * kTwipsPerPixel); }

// A position the window system cannot take is refused.
std::optional<int> ScreenPixels(std::optional<float> twips) {
  constexpr double kFarBeyond = 1e9;  // keeps the conversion within int
  if (!twips || !(std::abs(double(*twips)) < kFarBeyond)) return std::nullopt;
  const int pixels = TwipsToPixels(double(*twips));
  if (pixels < -32768 || pixels > 32767) return std::nullopt;
  return pixels;
}
bool SetLeft(QWidget& window, std::optional<float> twips) {
  const auto x = ScreenPixels(twips);
  if (x) window.move(*x, window.y());
  return x.has_value();
}
bool SetTop(QWidget& window, std::optional<float> twips) {
  const auto y = ScreenPixels(twips);
  if (y) window.move(window.x(), *y);
  return y.has_value();
}

// The window being shown takes the client position of the window being left:
// both carry the same frame, so its outer corner lands where the other's
// stood. A window that was shown before no longer knows its frame while
// hidden, and would be placed by its client corner if given the outer one.
bool SetClientTop(QWidget& window, const QWidget& from) {
  window.setGeometry(QRect(QPoint(window.geometry().x(), from.geometry().y()), window.size()));
  return true;
}
bool SetClientLeft(QWidget& window, const QWidget& from) {
  window.setGeometry(QRect(QPoint(from.geometry().x(), window.geometry().y()), window.size()));
  return true;
}

bool CopyText(const CalculatorWindow& from, CalculatorWindow& to, BoxOf box) {
  (to.*box)()->setText((from.*box)()->text());
  return true;
}
bool CopyTempo(const CalculatorWindow& from, CalculatorWindow& to) {
  to.SetTempo(from.tempoBox()->text(), TempoOrigin::Program);
  return true;
}
bool CopyNoteIndex(const CalculatorWindow& from, CalculatorWindow& to) {
  to.noteIndexLabel()->setText(from.noteIndexLabel()->text());
  return true;
}
bool CopySlider(const CalculatorWindow& from, CalculatorWindow& to, SliderOf slider) {
  return CalculatorWindow::SetSliderPosition((to.*slider)(), (from.*slider)()->value());
}

void SetBold(CalculatorWindow* window, bool bold) {
  if (!window) return;
  QPushButton* about = window->aboutButton();
  QFont font = about->font();
  font.setBold(bold);
  about->setFont(font);
}

CalculatorWindow* Shown(CalculatorWindow* first, CalculatorWindow* second) {
  if (first && first->isVisible()) return first;
  if (second && second->isVisible()) return second;
  return nullptr;
}

}  // namespace

QString HelpMessage(int result) {
  for (const HelpFailure& failure : kHelpFailures) {
    if (failure.result == result) return QString::fromLatin1(failure.message);
  }
  return QString::fromLatin1(kUnknownHelpFailure);
}

Program::Program(char separator, DesktopShell& shell, QString programDirectory)
    : separator_(separator),
      shell_(shell),
      programDirectory_(programDirectory.isNull() ? QCoreApplication::applicationDirPath()
                                                  : std::move(programDirectory)),
      saved_(separator) {}

Program::~Program() {
  for (CalculatorWindow* window : {compact_.window.data(), large_.window.data()}) {
    if (window) MoveTransients(*window, nullptr);
  }
  delete compact_.window;
  delete large_.window;
  delete about_;
}

CalculatorWindow* Program::window(Which which) const { return slot(which).window; }

std::vector<CalculatorWindow*> Program::windows() const {
  std::vector<CalculatorWindow*> loaded;
  for (const Slot* s : {&compact_, &large_}) {
    if (s->window) loaded.push_back(s->window);
  }
  return loaded;
}

CalculatorWindow* Program::shownWindow() const { return Shown(compact_.window, large_.window); }

bool Program::running() const { return compact_.window || large_.window || about_; }

void Program::Start() {
  saved_.Load();
  showCompactAtStart_ = true;
  CalculatorWindow* compact = Load(Which::Compact);
  if (showCompactAtStart_) compact->show();
}

CalculatorWindow* Program::Load(Which which) {
  Slot& s = slot(which);
  if (s.window) return s.window;
  const Layout& layout = which == Which::Compact ? CompactLayout() : LargeLayout();
  auto* window = new CalculatorWindow(layout, separator_);
  s.window = window;
  connect(window, &CalculatorWindow::largerLayoutRequested, this, &Program::Max_Click);
  connect(window, &CalculatorWindow::smallerLayoutRequested, this, &Program::Min_Click);
  connect(window, &CalculatorWindow::exitRequested, this, [this, which] { Command2_Click(which); });
  connect(window, &CalculatorWindow::helpRequested, this, &Program::Command3_Click);
  connect(window, &CalculatorWindow::aboutRequested, this,
          [this, which] { Command4_Click(which); });
  connect(window, &CalculatorWindow::closeRequested, this, [this, which] { End(which); });
  emit windowCreated(which, window);
  Form_Load(which);
  return window;
}

void Program::Form_Load(Which which) {
  CalculatorWindow& window = *slot(which).window;
  StepRunner steps(FailurePolicy::SkipOnFailure);
  steps([&] { return SetLeft(window, saved_.Value(kLeft)); });
  steps([&] { return SetTop(window, saved_.Value(kTop)); });
  steps([&] {
    window.SetTempo(*saved_.Value(kBpm), TempoOrigin::Program);
    return true;
  });
  steps([&] {
    return CalculatorWindow::SetSliderPosition(window.tempoSlider(), saved_.Value(kSlider));
  });
  if (which != Which::Compact) return;

  // A "State" that is neither a truth word nor a number leaves the flag
  // unset, and the compact layout, the one a first run shows, is kept.
  std::optional<bool> compactLayout;
  steps([&] {
    compactLayout = saved_.Value(kState);
    return compactLayout.has_value();
  });
  if (compactLayout.value_or(true)) return;
  showCompactAtStart_ = false;
  window.hide();
  Load(Which::Large)->show();
}

void Program::Max_Click() {
  CalculatorWindow* compact = window(Which::Compact);
  if (!compact) return;
  StepRunner steps(FailurePolicy::StopOnFailure);
  compact->hide();
  CalculatorWindow* large = Load(Which::Large);
  steps([&] { return SetClientTop(*large, *compact); });
  steps([&] { return SetClientLeft(*large, *compact); });
  steps([&] { return CopySlider(*compact, *large, &CalculatorWindow::tempoSlider); });
  steps([&] { return CopyTempo(*compact, *large); });
  for (BoxOf box : {&CalculatorWindow::lengthBox, &CalculatorWindow::loopTempoBox}) {
    steps([&] { return CopyText(*compact, *large, box); });
  }
  // The hidden note index goes with the note, so that the frequency shown
  // and the octave slider's next recomputation are the same note's.
  steps([&] { return CopyNoteIndex(*compact, *large); });
  for (BoxOf box : kNoteAndSamples) steps([&] { return CopyText(*compact, *large, box); });
  steps([&] { return CopySlider(*compact, *large, &CalculatorWindow::octaveSlider); });
  large->show();
  MoveTransients(*compact, large);
  large->raise();
  large->activateWindow();
}

// Kept as designed: the tempo is copied twice, before the other boxes and
// again last after txtLength, and bpm_Change runs each time; what the boxes
// show after a switch depends on that order.
void Program::Min_Click() {
  CalculatorWindow* large = window(Which::Large);
  CalculatorWindow* compact = window(Which::Compact);
  if (!large || !compact) return;
  SavedSettings::Store({saved_.Line(kState, true)});
  StepRunner steps(FailurePolicy::StopOnFailure);
  large->hide();
  steps([&] { return SetClientTop(*compact, *large); });
  steps([&] { return SetClientLeft(*compact, *large); });
  steps([&] { return CopySlider(*large, *compact, &CalculatorWindow::tempoSlider); });
  steps([&] { return CopyTempo(*large, *compact); });
  steps([&] { return CopyText(*large, *compact, &CalculatorWindow::loopTempoBox); });
  steps([&] { return CopyNoteIndex(*large, *compact); });
  for (BoxOf box : kNoteAndSamples) steps([&] { return CopyText(*large, *compact, box); });
  steps([&] { return CopySlider(*large, *compact, &CalculatorWindow::octaveSlider); });
  steps([&] { return CopyText(*large, *compact, &CalculatorWindow::lengthBox); });
  steps([&] { return CopyTempo(*large, *compact); });
  compact->show();
  MoveTransients(*large, compact);
  compact->raise();
  compact->activateWindow();
}

SavedSettings::Lines Program::EndOfRunValues(Which which) const {
  // The layout the run ends in is the one shown next time. A hidden window
  // holds stale copies of the tempo and place the user last saw, so only the
  // visible window's values are stored; a minimized one keeps the stored place,
  // as every window does where the window system reports no places.
  SavedSettings::Lines values = {saved_.Line(kState, which == Which::Compact)};
  const CalculatorWindow* shown = Shown(window(which), window(Other(which)));
  if (shown && !shown->isMinimized() && PlacesReported()) {
    values.append(saved_.Line(kLeft, LeftTwips(*shown)));
    values.append(saved_.Line(kTop, TopTwips(*shown)));
  }
  if (shown) {
    values.append(saved_.Line(kBpm, shown->tempoBox()->text()));
    values.append(saved_.Line(kSlider, shown->tempoSlider()->value()));
  }
  return values;
}

void Program::End(Which which) {
  if (!window(which) || slot(which).unloading) return;
  emit runEnding(which);
  // A failed write never stops the end of the run; the store reports it.
  SavedSettings::Store(EndOfRunValues(which));
  Unload(which);
}

void Program::Form_Unload(Which which) { Unload(Other(which)); }

void Program::Unload(Which which) {
  Slot& s = slot(which);
  if (!s.window || s.unloading) return;
  s.unloading = true;
  Form_Unload(which);
  CalculatorWindow* window = s.window;
  s.window = nullptr;
  s.unloading = false;
  // The windows above it stay, on their own: the About box outlives it.
  MoveTransients(*window, nullptr);
  window->hide();
  window->deleteLater();  // still usable by the handler that unloaded it
  EndIfNothingLoaded();
}

void Program::CloseAll() {
  const Which which =
      window(Which::Large) && window(Which::Large)->isVisible() ? Which::Large : Which::Compact;
  End(which);
  End(Other(which));
  CloseAbout();
}

void Program::ShowHelp(QWidget* from) {
  QString document = QStringLiteral("index.html");
  const int result = StartDoc(document, from);
  if (result > 32) return;
  ShowMessage(from, HelpMessage(result));
}

void Program::ShowMessage(QWidget* from, const QString& text) {
  QWidget* over = from;
  if (!over) {
    over = shownWindow();
  }
  shell_.ShowMessageOver(over, QStringLiteral("Tempiva"), text);
}

int Program::StartDoc(QString& docName, QWidget* from) {
  // Joined as it is: a directory ending in the separator gives two of them.
  docName = programDirectory_ + QDir::separator() + docName;
  // The opener is not waited for: a failure it meets later gets the message
  // Help shows for one met at once, while this program is still there.
  return shell_.OpenWatched(
      nullptr, QStringLiteral("Open"), docName, QString(), QDir::rootPath(), shell::kShowNormal,
      [program = QPointer<Program>(this), from = QPointer<QWidget>(from)](int result) {
        if (program) program->ShowMessage(from, HelpMessage(result));
      });
}

void Program::ShowAbout(Which which) {
  // Kept as designed: About loads the large window, hidden, if it is not yet
  // loaded, so that both About buttons carry the mark.
  SetBold(window(Which::Compact), true);
  SetBold(Load(Which::Large), true);
  if (!about_) {
    about_ = new AboutBox(shell_, QString::fromUtf8(build_info::kMakerNotice),
                          QString::fromUtf8(build_info::kMakerAddress));
    connect(about_, &AboutBox::closeRequested, this, &Program::CloseAbout);
    about_->Form_Load();
  }
  const CalculatorWindow& from = *window(which);
  if (which == Which::Compact) {
    about_->move(from.pos());
  } else {
    about_->move(from.x() + TwipsToPixels(kAboutOffsetLeft),
                 from.y() + TwipsToPixels(kAboutOffsetTop));
  }
  // Above the window it came from, wherever that window stacks.
  SetTransientFor(*about_, window(which));
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void Program::About_Unload() {
  SetBold(window(Which::Compact), false);
  SetBold(window(Which::Large), false);
}

void Program::CloseAbout() {
  if (!about_ || aboutUnloading_) return;
  aboutUnloading_ = true;
  About_Unload();
  AboutBox* box = about_;
  about_ = nullptr;
  aboutUnloading_ = false;
  box->hide();
  box->deleteLater();
  EndIfNothingLoaded();
}

void Program::EndIfNothingLoaded() {
  if (!running()) emit finished();
}

}  // namespace ui
