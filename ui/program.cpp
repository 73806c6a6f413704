#include "program.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <cmath>
#include <optional>

#include "build_info.h"
#include "calc/numeric_text.h"
#include "calc/steps.h"
#include "desktop_shell.h"
#include "settings.h"

namespace ui {
namespace {

using calc::FailurePolicy;
using calc::StepRunner;

constexpr int kAboutOffsetLeft = 200;  // twips, from the large window's corner
constexpr int kAboutOffsetTop = 350;

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
QString StateText(Which which) {
  return QString::fromLatin1(calc::FlagToText(which == Which::Compact).data());
}

// Window edges in twips; the window's position is its outer top-left corner.
float LeftTwips(const QWidget& window) { return float(window.x() * kTwipsPerPixel); }
float TopTwips(const QWidget& window) { return float(window.y() * kTwipsPerPixel); }

// A position the window system cannot take is refused.
std::optional<int> TwipsToPixels(std::optional<float> twips) {
  if (!twips) return std::nullopt;
  const double pixels = std::round(double(*twips) / kTwipsPerPixel);
  if (!(pixels >= -32768.0 && pixels <= 32767.0)) return std::nullopt;
  return int(pixels);
}
bool SetLeft(QWidget& window, std::optional<float> twips) {
  const auto x = TwipsToPixels(twips);
  if (x) window.move(*x, window.y());
  return x.has_value();
}
bool SetTop(QWidget& window, std::optional<float> twips) {
  const auto y = TwipsToPixels(twips);
  if (y) window.move(window.x(), *y);
  return y.has_value();
}

QLineEdit* Box(const CalculatorWindow& window, const char* name) {
  return window.control<QLineEdit>(name);
}
QSlider* Slider(const CalculatorWindow& window, const char* name) {
  return window.control<QSlider>(name);
}
bool CopyText(const CalculatorWindow& from, CalculatorWindow& to, const char* name) {
  Box(to, name)->setText(Box(from, name)->text());
  return true;
}
bool CopySlider(const CalculatorWindow& from, CalculatorWindow& to, const char* name) {
  return CalculatorWindow::SetSliderPosition(Slider(to, name), Slider(from, name)->value());
}

void SetBold(CalculatorWindow* window, bool bold) {
  if (!window) return;
  QPushButton* about = window->control<QPushButton>("Command4");
  QFont font = about->font();
  font.setBold(bold);
  about->setFont(font);
}

QString SettingText(const std::optional<std::string>& text) {
  return text ? QString::fromStdString(*text) : QString();
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
                                                  : std::move(programDirectory)) {}

Program::~Program() {
  delete compact_.window;
  delete large_.window;
  delete about_;
}

CalculatorWindow* Program::window(Which which) const { return slot(which).window; }

bool Program::running() const { return compact_.window || large_.window || about_; }

void Program::Start() {
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
  connect(window, &CalculatorWindow::Max_Click, this, &Program::Max_Click);
  connect(window, &CalculatorWindow::Min_Click, this, &Program::Min_Click);
  connect(window, &CalculatorWindow::Command2_Click, this,
          [this, which] { Command2_Click(which); });
  connect(window, &CalculatorWindow::Command3_Click, this, &Program::Command3_Click);
  connect(window, &CalculatorWindow::Command4_Click, this,
          [this, which] { Command4_Click(which); });
  connect(window, &CalculatorWindow::closeRequested, this, [this, which] { Unload(which); });
  Form_Load(which);
  return window;
}

void Program::Form_Load(Which which) {
  CalculatorWindow& window = *slot(which).window;
  const auto read = [](const settings::Key& key) { return settings::Read(key).toStdString(); };
  StepRunner steps(FailurePolicy::SkipOnFailure);
  steps([&] { return SetLeft(window, calc::TextToSingle(read(settings::kLeft), separator_)); });
  steps([&] { return SetTop(window, calc::TextToSingle(read(settings::kTop), separator_)); });
  steps([&] {
    Box(window, "bpm")->setText(settings::Read(settings::kBpm));
    return true;
  });
  steps([&] {
    return CalculatorWindow::SetSliderPosition(
        Slider(window, "Slider1"), calc::TextToInteger(read(settings::kSlider), separator_));
  });
  if (which != Which::Compact) return;

  // A "State" that is neither a truth word nor a number leaves the flag
  // unset, and the compact layout, the one a first run shows, is kept.
  std::optional<bool> compactLayout;
  steps([&] {
    compactLayout = calc::TextToFlag(read(settings::kState), separator_);
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
  steps([&] { return SetTop(*large, TopTwips(*compact)); });
  steps([&] { return SetLeft(*large, LeftTwips(*compact)); });
  steps([&] { return CopySlider(*compact, *large, "Slider1"); });
  for (const char* name :
       {"bpm", "txtLength", "bpmSPB", "txtNote", "txtOctave", "MidiNoteNumber", "Samples"}) {
    steps([&] { return CopyText(*compact, *large, name); });
  }
  steps([&] { return CopySlider(*compact, *large, "sldOctave"); });
  large->show();
  large->raise();
  large->activateWindow();
}

void Program::Min_Click() {
  CalculatorWindow* large = window(Which::Large);
  CalculatorWindow* compact = window(Which::Compact);
  if (!large || !compact) return;
  settings::Write(settings::kState, StateText(Which::Compact));
  StepRunner steps(FailurePolicy::StopOnFailure);
  large->hide();
  steps([&] { return SetTop(*compact, TopTwips(*large)); });
  steps([&] { return SetLeft(*compact, LeftTwips(*large)); });
  steps([&] { return CopySlider(*large, *compact, "Slider1"); });
  for (const char* name : {"bpm", "bpmSPB", "txtNote", "txtOctave", "MidiNoteNumber", "Samples"}) {
    steps([&] { return CopyText(*large, *compact, name); });
  }
  steps([&] { return CopySlider(*large, *compact, "sldOctave"); });
  steps([&] { return CopyText(*large, *compact, "txtLength"); });
  steps([&] { return CopyText(*large, *compact, "bpm"); });
  compact->show();
  compact->raise();
  compact->activateWindow();
}

void Program::Command2_Click(Which which) {
  const settings::WriteBatch batch;  // the whole exit reaches the file at once
  Unload(Other(which));
  settings::Write(settings::kState, StateText(which));
  Unload(which);
}

void Program::Form_Unload(Which which) {
  Unload(Other(which));
  // A failed write never stops the unload: the program must still end.
  settings::Write(settings::kState, StateText(which));
  const CalculatorWindow& window = *slot(which).window;
  // A hidden window holds stale copies of the tempo and place the user last
  // saw; only the visible window's values are stored.
  if (!window.isVisible()) return;
  if (!window.isMinimized()) {
    settings::Write(settings::kLeft,
                    SettingText(calc::SingleToText(LeftTwips(window), separator_)));
    settings::Write(settings::kTop, SettingText(calc::SingleToText(TopTwips(window), separator_)));
  }
  settings::Write(settings::kBpm, Box(window, "bpm")->text());
  settings::Write(settings::kSlider,
                  QString::fromStdString(calc::IntegerToText(Slider(window, "Slider1")->value())));
}

void Program::Unload(Which which) {
  Slot& s = slot(which);
  if (!s.window || s.unloading) return;
  const settings::WriteBatch batch;
  s.unloading = true;
  Form_Unload(which);
  CalculatorWindow* window = s.window;
  s.window = nullptr;
  s.unloading = false;
  window->hide();
  window->deleteLater();  // still usable by the handler that unloaded it
  EndIfNothingLoaded();
}

void Program::CloseAll() {
  const settings::WriteBatch batch;
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* shown = window(which); shown && shown->isVisible()) Unload(which);
  }
  Unload(Which::Compact);
  Unload(Which::Large);
  UnloadAbout();
}

void Program::Command3_Click() {
  QString document = QStringLiteral("index.html");
  const int result = StartDoc(document);
  if (result > 32) return;
  shell_.ShowMessage(QStringLiteral("Tempiva"), HelpMessage(result));
}

int Program::StartDoc(QString& docName) {
  // Joined as it is: a directory ending in the separator gives two of them.
  docName = programDirectory_ + QDir::separator() + docName;
  // The opener is not waited for: a failure it meets later gets the message
  // Help shows for one met at once, while this program is still there.
  return shell_.OpenWatched(nullptr, QStringLiteral("Open"), docName, QString(), QDir::rootPath(),
                            shell::kShowNormal, [program = QPointer<Program>(this)](int result) {
                              if (program) {
                                program->shell_.ShowMessage(QStringLiteral("Tempiva"),
                                                            HelpMessage(result));
                              }
                            });
}

void Program::Command4_Click(Which which) {
  SetBold(window(Which::Compact), true);
  SetBold(Load(Which::Large), true);
  if (!about_) {
    about_ = new AboutBox(shell_, QString::fromUtf8(build_info::kMakerNotice),
                          QString::fromUtf8(build_info::kMakerAddress));
    connect(about_, &AboutBox::closeRequested, this, &Program::UnloadAbout);
    about_->Form_Load();
  }
  const CalculatorWindow& from = *window(which);
  if (which == Which::Compact) {
    about_->move(from.pos());
  } else {
    about_->move(from.x() + TwipsToPixels(kAboutOffsetLeft),
                 from.y() + TwipsToPixels(kAboutOffsetTop));
  }
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void Program::About_Unload() {
  SetBold(window(Which::Compact), false);
  SetBold(window(Which::Large), false);
}

void Program::UnloadAbout() {
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
