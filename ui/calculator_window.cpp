#include "calculator_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

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

QRect PixelRect(const ControlSpec& entry) {
  return QRect(TwipsToPixels(entry.left), TwipsToPixels(entry.top), TwipsToPixels(entry.width),
               TwipsToPixels(entry.height));
}

bool TakesFocus(Kind kind) {
  switch (kind) {
    case Kind::Input:
    case Kind::Output:
    case Kind::Combo:
    case Kind::Button:
    case Kind::Option:
    case Kind::Slider:
      return true;
    default:
      return false;
  }
}

// The tempo each scale label applies is its caption.
constexpr std::array<const char*, 13> kTempoLabels = {
    "Label22", "Label5",  "Label17", "Label16", "Label15", "Label14", "Label10",
    "Label12", "Label13", "Label11", "Label9",  "Label21", "Label23"};

QString SlotName(int slot) { return QStringLiteral("Text1(%1)").arg(slot); }

QColor ToColor(calc::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

}  // namespace

char DecimalSeparator(const QLocale& locale) {
  const QString point = locale.decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 128 && !point[0].isDigit()) {
    return static_cast<char>(point[0].unicode());
  }
  return '.';
}

CalculatorWindow::CalculatorWindow(const Layout& layout, char separator, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      layout_(layout),
      separator_(separator) {
  setObjectName(layout.name);
  setWindowTitle(layout.caption);
  setFixedSize(TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, WindowBackgroundColor(layout.background, palette));
  setPalette(palette);
  setAutoFillBackground(true);
  Build();
  ApplyFocusOrder();
  Wire();
}

void CalculatorWindow::Build() {
  // Frames first, so every child finds its container; then the shapes and the
  // labels, which lie below the controls of their container; then the rest.
  const auto pass = [this](auto&& wanted) {
    for (const ControlSpec& entry : layout_.controls) {
      if (!wanted(entry.kind)) continue;
      QWidget* parent = entry.container.isEmpty() ? this : controls_.value(entry.container, this);
      QWidget* widget = Create(entry, parent);
      widget->setObjectName(entry.name);
      controls_.insert(entry.name, widget);
    }
  };
  pass([](Kind kind) { return kind == Kind::Frame; });
  pass([](Kind kind) { return kind == Kind::Rectangle || kind == Kind::Line; });
  pass([](Kind kind) { return kind == Kind::Label; });  // labels lie below the boxes they touch
  pass([](Kind kind) {
    return kind != Kind::Frame && kind != Kind::Rectangle && kind != Kind::Line &&
           kind != Kind::Label;
  });

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
}

QWidget* CalculatorWindow::Create(const ControlSpec& entry, QWidget* parent) {
  const QRect rect = PixelRect(entry);
  QWidget* widget = nullptr;
  switch (entry.kind) {
    case Kind::Frame:
      widget = new QGroupBox(entry.text, parent);
      break;
    case Kind::Label: {
      auto* label = new ClickLabel(entry.text, parent);
      label->setAlignment(entry.alignment);
      if (entry.foreground.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, entry.foreground);
        label->setPalette(palette);
      }
      widget = label;
      break;
    }
    case Kind::Input:
    case Kind::Output: {
      auto* box = new TextBox(entry.text, parent);
      if (entry.maxLength > 0) box->setMaxLength(entry.maxLength);
      if (entry.kind == Kind::Output) {
        box->setReadOnly(true);
        box->setCursor(Qt::ArrowCursor);
      }
      // The text may use one pixel of the frame's inner padding on each side,
      // so a full-length result fits its box whole instead of scrolling.
      box->setTextMargins(-1, 0, -1, 0);
      widget = box;
      break;
    }
    case Kind::Combo: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setCompleter(nullptr);  // typing must not complete to a list entry
      combo->addItems(entry.items);
      combo->setEditText(entry.text);
      ApplyBoxStyle(combo->lineEdit(), entry.style, entry.foreground);
      widget = combo;
      break;
    }
    case Kind::Button:
      if (entry.font.face == Face::Symbols) {
        const bool upward = entry.text == "5" || entry.text == "t";
        widget = new TriangleButton(upward, parent);
      } else {
        widget = new QPushButton(entry.text, parent);
      }
      break;
    case Kind::Option:
      widget = new OptionButton(entry.text, kOptionPicture, parent);
      break;
    case Kind::Slider: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setRange(entry.minimum, entry.maximum);
      slider->setValue(entry.position);
      slider->setSingleStep(entry.singleStep);
      slider->setPageStep(entry.pageStep);
      slider->setTickInterval(entry.tickInterval);
      slider->setTickPosition(QSlider::TicksBelow);
      widget = slider;
      break;
    }
    case Kind::Rectangle:
      return ShapeItem::Rectangle(rect, entry.background, entry.border, parent);
    case Kind::Line:
      return ShapeItem::Line(
          QPoint(TwipsToPixels(entry.left), TwipsToPixels(entry.top)),
          QPoint(TwipsToPixels(entry.width), TwipsToPixels(entry.height)), entry.lineWidth,
          entry.foreground.isValid() ? entry.foreground : QColor(Qt::black), parent);
  }
  widget->setGeometry(rect);
  widget->setFont(FontFor(entry.font));
  if (entry.style != BoxStyle::None && entry.kind != Kind::Combo) {
    ApplyBoxStyle(widget, entry.style, entry.foreground);
  }
  if (!entry.tooltip.isEmpty()) widget->setToolTip(entry.tooltip);
  const QString spoken = !entry.accessibleName.isEmpty() ? entry.accessibleName
                         : !entry.tooltip.isEmpty()      ? entry.tooltip
                                                         : entry.text;
  widget->setAccessibleName(spoken);
  widget->setFocusPolicy(TakesFocus(entry.kind) ? Qt::StrongFocus : Qt::NoFocus);
  widget->setVisible(entry.visible);
  return widget;
}

void CalculatorWindow::ApplyFocusOrder() {
  std::vector<std::pair<int, QWidget*>> order;
  for (const ControlSpec& entry : layout_.controls) {
    if (TakesFocus(entry.kind) && entry.focus >= 0)
      order.emplace_back(entry.focus, control(entry.name));
  }
  std::sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1].second, order[i].second);
  }
  if (!order.empty()) order.front().second->setFocus(Qt::OtherFocusReason);
}

void CalculatorWindow::Wire() {
  connect(bpm_, &QLineEdit::textChanged, this, &CalculatorWindow::bpm_Change);
  connect(bpm_, &TextBox::gotFocus, this, &CalculatorWindow::bpm_GotFocus);
  connect(slider1_, &QSlider::valueChanged, this, &CalculatorWindow::Slider1_Scroll);
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    connect(text1_[static_cast<std::size_t>(slot)], &TextBox::gotFocus, this,
            [this, slot] { Text1_GotFocus(slot); });
  }
  for (const char* name : kTempoLabels) {
    auto* label = control<ClickLabel>(name);
    const int tempo = label->text().toInt();
    connect(label, &ClickLabel::clicked, this, [this, tempo] { TempoLabel_Click(tempo); });
  }
  for (int option = 1; option <= static_cast<int>(calc::kStereoPairs.size()); ++option) {
    connect(control<QPushButton>(QStringLiteral("Option%1").arg(option)), &QPushButton::clicked,
            this, [this, option] { Option_Click(option); });
  }
  for (const char* name : {"Label6", "Label28"}) {
    if (auto* label = control<ClickLabel>(name)) {
      connect(label, &ClickLabel::clicked, this, &CalculatorWindow::StereoCaption_Click);
    }
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
      {"Max", &CalculatorWindow::Max_Click},
      {"Min", &CalculatorWindow::Min_Click},
      {"Command2", &CalculatorWindow::Command2_Click},
      {"Command3", &CalculatorWindow::Command3_Click},
      {"Command4", &CalculatorWindow::Command4_Click}};
  for (const auto& [name, signal] : programButtons) {
    if (auto* button = control<QPushButton>(name))
      connect(button, &QPushButton::clicked, this, signal);
  }
}

void CalculatorWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  emit closeRequested();
}

// ---- Reading and writing controls ----

std::string CalculatorWindow::Text(const QLineEdit* box) const { return box->text().toStdString(); }
std::string CalculatorWindow::Text(const QComboBox* box) const {
  return box->currentText().toStdString();
}
std::string CalculatorWindow::Text(const QLabel* label) const {
  return label->text().toStdString();
}

bool CalculatorWindow::WriteResult(QLineEdit* box, const std::optional<std::string>& text) {
  if (!text) return false;
  const auto fitted = calc::FitToBox(*text, static_cast<std::size_t>(box->maxLength()), separator_);
  if (!fitted) return false;
  box->setText(QString::fromStdString(*fitted));
  return true;
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
  bpm_->setText(QString::fromStdString(calc::IntegerToText(slider1_->value())));
}

void CalculatorWindow::Text1_GotFocus(int /*index: every box is selected*/) {
  for (TextBox* box : text1_) box->setSelection(0, static_cast<int>(box->text().size()));
}

void CalculatorWindow::TempoLabel_Click(int tempo) {
  StepRunner steps(FailurePolicy::StopOnFailure);
  steps([&] { return SetSliderPosition(slider1_, tempo); });
  steps([&] {
    bpm_->setText(QString::fromStdString(calc::IntegerToText(tempo)));
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
    return WriteResult(noteFreq_,
                       calc::NoteFrequencyText(Text(txtOctave_), Text(lblNote_), separator_));
  });
  steps([this] {
    return WriteResult(midiNoteNumber_,
                       calc::MidiNumberText(Text(txtOctave_), Text(lblNote_), separator_));
  });
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
