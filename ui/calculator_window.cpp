#include "calculator_window.h"

#include <xcb/xcb.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include "calc/beat.h"
#include "calc/note.h"
#include "calc/numeric_text.h"
#include "calc/stereo.h"
#include "looks.h"
#include "widgets.h"

namespace ui {
namespace {

using calc::FailurePolicy;
using calc::StepRunner;

QString SlotName(int slot) { return QStringLiteral("Text1(%1)").arg(slot); }

}  // namespace

char DecimalSeparator(const QLocale& locale) {
  const QString point = locale.decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 128 && !point[0].isDigit()) {
    return static_cast<char>(point[0].unicode());
  }
  return '.';
}

CalculatorWindow::CalculatorWindow(const Layout& layout, char separator, QWidget* parent)
    : Form(layout, parent), separator_(separator) {
  FindControls();
  Wire();
}

QLineEdit* CalculatorWindow::DelayBox(int slot) const {
  return text1_.at(static_cast<std::size_t>(slot));
}

QLineEdit* CalculatorWindow::tempoBox() const { return bpm_; }
QLineEdit* CalculatorWindow::samplesBox() const { return samples_; }
QLineEdit* CalculatorWindow::loopTempoBox() const { return bpmSPB_; }
QLineEdit* CalculatorWindow::lengthBox() const { return txtLength_; }
QLineEdit* CalculatorWindow::octaveBox() const { return txtOctave_; }
QLineEdit* CalculatorWindow::noteBox() const { return txtNote_; }
QLineEdit* CalculatorWindow::noteFrequencyBox() const { return noteFreq_; }
QLineEdit* CalculatorWindow::midiNumberBox() const { return midiNoteNumber_; }

void CalculatorWindow::SetTempo(const QString& text, TempoOrigin origin) {
  {
    const QScopedValueRollback ours(writingTempo_, true);
    bpm_->setText(text);
  }
  emit tempoWritten(origin);
}

bool CalculatorWindow::WriteTempo(const std::string& text, TempoOrigin origin) {
  const auto fitted = FitResult(bpm_, text);
  if (!fitted) return false;
  SetTempo(*fitted, origin);
  return true;
}

void CalculatorWindow::SetSampleRate(const QString& text) {
  if (sampleRate_->currentText() == text) return;
  sampleRate_->setEditText(text);
  SampleRate_Change();
}

void CalculatorWindow::FindControls() {
  bpm_ = control<TextBox>("bpm");
  slider1_ = control<QSlider>("Slider1");
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    text1_[static_cast<std::size_t>(slot)] = control<TextBox>(SlotName(slot));
  }
  sampleRate_ = control<QComboBox>("SampleRate");
  samples_ = control<TextBox>("Samples");
  bpmSPB_ = control<TextBox>("bpmSPB");
  txtLength_ = control<TextBox>("txtLength");
  sldOctave_ = control<QSlider>("sldOctave");
  txtOctave_ = control<TextBox>("txtOctave");
  txtNote_ = control<TextBox>("txtNote");
  lblNote_ = control<QLabel>("lblNote");
  noteFreq_ = control<TextBox>("NoteFreq");
  midiNoteNumber_ = control<TextBox>("MidiNoteNumber");
  command4_ = control<QPushButton>("Command4");
}

void CalculatorWindow::Wire() {
  connect(bpm_, &QLineEdit::textChanged, this, &CalculatorWindow::bpm_Change);
  // After bpm_Change, as for a tempo written by SetTempo. Whatever this program
  // did not write is the user's: an edit, and also a text set through the
  // accessibility interface (a screen reader, voice control), which Qt
  // delivers as setText rather than as an edit.
  connect(bpm_, &QLineEdit::textChanged, this, [this] {
    if (!writingTempo_) emit tempoWritten(TempoOrigin::Typed);
  });
  connect(bpm_, &TextBox::gotFocus, this, &CalculatorWindow::bpm_GotFocus);
  connect(slider1_, &QSlider::valueChanged, this, &CalculatorWindow::Slider1_Scroll);
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    connect(text1_[static_cast<std::size_t>(slot)], &TextBox::gotFocus, this,
            [this, slot] { Text1_GotFocus(slot); });
  }
  for (const ControlRow& entry : layout().controls) {
    auto* label = control<ClickLabel>(entry.name);
    if (entry.role == Role::TempoPreset) {
      const int tempo = entry.value;
      connect(label, &ClickLabel::clicked, this, [this, tempo] { TempoLabel_Click(tempo); });
    } else if (entry.role == Role::ClearStereoPairs) {
      connect(label, &ClickLabel::clicked, this, &CalculatorWindow::StereoCaption_Click);
    }
  }
  for (int option = 1; option <= static_cast<int>(calc::kStereoPairs.size()); ++option) {
    connect(control<QPushButton>(QStringLiteral("Option%1").arg(option)), &QPushButton::clicked,
            this, [this, option] { Option_Click(option); });
  }
  // Only edits of the rate's text recompute; choosing a list entry does not.
  connect(sampleRate_->lineEdit(), &QLineEdit::textEdited, this,
          &CalculatorWindow::SampleRate_Change);
  for (TextBox* box : {samples_, bpmSPB_, txtLength_}) {
    connect(box, &TextBox::gotFocus, this, [this, box] { TextBox_GotFocus(box); });
  }
  connect(control<QPushButton>("Command1"), &QPushButton::clicked, this,
          &CalculatorWindow::Command1_Click);
  connect(control<QPushButton>("Command11"), &QPushButton::clicked, this,
          &CalculatorWindow::Command11_Click);
  connect(control<QPushButton>("Command12"), &QPushButton::clicked, this,
          &CalculatorWindow::Command12_Click);
  for (int index = 0; index < calc::kNotesPerOctave; ++index) {
    connect(control<QPushButton>(QStringLiteral("cmdNote%1").arg(index)), &QPushButton::clicked,
            this, [this, index] { cmdNote_Click(index); });
  }
  connect(sldOctave_, &QSlider::valueChanged, this, &CalculatorWindow::sldOctave_Scroll);

  const std::pair<const char*, void (CalculatorWindow::*)()> programButtons[] = {
      {"Max", &CalculatorWindow::largerLayoutRequested},
      {"Min", &CalculatorWindow::smallerLayoutRequested},
      {"Command2", &CalculatorWindow::exitRequested},
      {"Command3", &CalculatorWindow::helpRequested},
  };
  for (const auto& [name, signal] : programButtons) {
    if (auto* button = control<QPushButton>(name))
      connect(button, &QPushButton::clicked, this, signal);
  }
  connect(command4_, &QPushButton::clicked, this, &CalculatorWindow::aboutRequested);
}

void CalculatorWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  emit closeRequested();
}

// X11 tells a window destroyed by another client only by DestroyNotify, which
// Qt turns into no event of its own: the window would be gone with the program
// still running. It ends as on a close, once Qt has finished with the event.
bool CalculatorWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  if (eventType == "xcb_generic_event_t") {
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
        reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == winId()) {
      QTimer::singleShot(0, this, &CalculatorWindow::closeRequested);
    }
  }
  return Form::nativeEvent(eventType, message, result);
}

// ---- Reading and writing controls ----

std::string CalculatorWindow::Text(const QLineEdit* box) const { return box->text().toStdString(); }
std::string CalculatorWindow::Text(const QComboBox* box) const {
  return box->currentText().toStdString();
}
std::string CalculatorWindow::Text(const QLabel* label) const {
  return label->text().toStdString();
}

std::optional<QString> CalculatorWindow::FitResult(const QLineEdit* box,
                                                   const std::optional<std::string>& text) const {
  if (!text) return std::nullopt;
  const auto fitted = calc::FitToBox(*text, static_cast<std::size_t>(box->maxLength()), separator_);
  if (!fitted) return std::nullopt;
  return QString::fromStdString(*fitted);
}

bool CalculatorWindow::WriteResult(QLineEdit* box, const std::optional<std::string>& text) {
  const auto fitted = FitResult(box, text);
  if (fitted) box->setText(*fitted);
  return fitted.has_value();
}

bool CalculatorWindow::SetSliderPosition(QSlider* slider, std::optional<int> position) {
  if (!position || *position < slider->minimum() || *position > slider->maximum()) return false;
  const QSignalBlocker quiet(slider);
  slider->setValue(*position);
  return true;
}

calc::DelayTexts CalculatorWindow::CurrentDelayTexts() const {
  calc::DelayTexts texts;
  for (std::size_t slot = 0; slot < texts.size(); ++slot) texts[slot] = Text(text1_[slot]);
  return texts;
}

void CalculatorWindow::SetSlotBackground(int slot, const QColor& color) {
  QLineEdit* box = text1_[static_cast<std::size_t>(slot)];
  QPalette palette = box->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, color);
  }
  box->setPalette(palette);
}

// ---- Delay calculator ----

void CalculatorWindow::bpm_Change() {
  StepRunner steps(FailurePolicy::SkipOnFailure);
  steps([this] { return UpdateSamplesFromTempo(); });
  steps(
      [this] { return SetSliderPosition(slider1_, calc::TextToInteger(Text(bpm_), separator_)); });
  const calc::DelayTexts table =
      calc::ComputeDelayTable(Text(bpm_), CurrentDelayTexts(), separator_);
  for (std::size_t slot = 0; slot < table.size(); ++slot) {
    steps([&, slot] {
      text1_[slot]->setText(QString::fromStdString(table[slot]));
      return true;
    });
  }
}

void CalculatorWindow::bpm_GotFocus() {
  bpm_->setSelection(0, static_cast<int>(bpm_->text().size()));
}

void CalculatorWindow::Slider1_Scroll() {
  SetTempo(QString::fromStdString(calc::IntegerToText(slider1_->value())), TempoOrigin::Slider);
}

void CalculatorWindow::Text1_GotFocus(int /*index: every box is selected*/) {
  for (TextBox* box : text1_) box->setSelection(0, static_cast<int>(box->text().size()));
}

void CalculatorWindow::TempoLabel_Click(int tempo) {
  StepRunner steps(FailurePolicy::StopOnFailure);
  steps([&] { return SetSliderPosition(slider1_, tempo); });
  steps([&] {
    SetTempo(QString::fromStdString(calc::IntegerToText(tempo)), TempoOrigin::Scale);
    return true;
  });
}

// ---- Stereo pairs ----

void CalculatorWindow::Option_Click(int option) {
  const calc::StereoPair pair = calc::kStereoPairs.at(static_cast<std::size_t>(option - 1));
  calc::MarkStereoPair([this](int slot, calc::Rgb rgb) { SetSlotBackground(slot, ToColor(rgb)); },
                       pair.first, pair.second);
}

void CalculatorWindow::StereoCaption_Click() {
  calc::ResetDelayColors(
      [this](int slot, calc::Rgb rgb) { SetSlotBackground(slot, ToColor(rgb)); });
}

// ---- Beat calculator ----

bool CalculatorWindow::UpdateSamplesFromTempo() {
  return WriteResult(samples_, calc::SamplesPerBeatText(Text(sampleRate_), Text(bpm_), separator_));
}

void CalculatorWindow::SampleRate_Change() {
  StepRunner steps(FailurePolicy::StopOnFailure);
  steps([this] { return UpdateSamplesFromTempo(); });
}

void CalculatorWindow::TextBox_GotFocus(QLineEdit* box) {
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void CalculatorWindow::UpdateLoop(StepRunner& steps) {
  steps([this] {
    return WriteResult(bpmSPB_,
                       calc::TempoFromSamplesText(Text(sampleRate_), Text(samples_), separator_));
  });
  steps([this] {
    return WriteResult(txtLength_,
                       calc::LengthSecondsText(Text(samples_), Text(sampleRate_), separator_));
  });
}

void CalculatorWindow::Command1_Click() {
  StepRunner steps(FailurePolicy::SkipOnFailure);
  UpdateLoop(steps);
}

void CalculatorWindow::Command11_Click() {
  StepRunner steps(FailurePolicy::SkipOnFailure);
  steps([this] {
    return WriteResult(samples_, calc::DoubleSamplesText(Text(samples_), separator_));
  });
  UpdateLoop(steps);
}

void CalculatorWindow::Command12_Click() {
  StepRunner steps(FailurePolicy::SkipOnFailure);
  steps(
      [this] { return WriteResult(samples_, calc::HalveSamplesText(Text(samples_), separator_)); });
  UpdateLoop(steps);
}

// ---- Note calculator ----

void CalculatorWindow::UpdateNote(StepRunner& steps) {
  steps([this] {
    return WriteResult(noteFreq_, calc::NoteFrequencyText(Text(txtOctave_), Text(lblNote_),
                                                          separator_, referencePitch_));
  });
  steps([this] {
    return WriteResult(midiNoteNumber_, calc::MidiNumberText(Text(txtOctave_), Text(lblNote_),
                                                             separator_, numbering_));
  });
}

void CalculatorWindow::SetNoteTuning(double referencePitch, calc::MidiNumbering numbering) {
  if (referencePitch == referencePitch_ && numbering == numbering_) return;
  referencePitch_ = referencePitch;
  numbering_ = numbering;
  StepRunner steps(FailurePolicy::StopOnFailure);
  UpdateNote(steps);
}

void CalculatorWindow::cmdNote_Click(int index) {
  StepRunner steps(FailurePolicy::StopOnFailure);
  steps([&] {
    const std::string_view name = calc::kNoteNames.at(static_cast<std::size_t>(index));
    txtNote_->setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    return true;
  });
  steps([&] {
    lblNote_->setText(QString::fromStdString(calc::IntegerToText(index)));
    return true;
  });
  UpdateNote(steps);
}

void CalculatorWindow::sldOctave_Scroll() {
  StepRunner steps(FailurePolicy::StopOnFailure);
  steps([this] {
    txtOctave_->setText(QString::fromStdString(calc::IntegerToText(sldOctave_->value())));
    return true;
  });
  UpdateNote(steps);
}

}  // namespace ui
