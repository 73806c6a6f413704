// The calculator window: a form built from either layout table, with the
// three calculators' handlers wired to its controls. All values live in the
// controls' texts, the slider positions and the delay boxes' colours; each
// handler reads what it needs when it runs.
#pragma once

#include <QLocale>
#include <array>
#include <optional>
#include <string>

#include "calc/delay_table.h"
#include "calc/note.h"
#include "calc/steps.h"
#include "form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace ui {

class TextBox;

// Where a tempo written into the tempo box came from.
enum class TempoOrigin {
  Typed,      // the user edited the box: typed, pasted, cut or deleted
  Key,        // a tempo key, or halve or double in the tempo box's menu
  Slider,     // the tempo slider
  Scale,      // a scale label
  Tap,        // the Tap Tempo window
  Sequencer,  // a sequencer the calculator follows
  Program,    // start-up and layout switches: a tempo the user already had
};

// The decimal separator of a locale, as the calculation core takes it; a
// locale whose separator is not a single ASCII character falls back to '.'.
char DecimalSeparator(const QLocale& locale);

class CalculatorWindow : public Form {
  Q_OBJECT

 public:
  CalculatorWindow(const Layout& layout, char separator, QWidget* parent = nullptr);

  char separator() const { return separator_; }

  // Event handlers, named after the control and the event. An indexed family
  // of controls shares one handler that receives the index or the value.
  void bpm_Change();
  void bpm_GotFocus();
  void Slider1_Scroll();
  void Text1_GotFocus(int index);
  void TempoLabel_Click(int tempo);  // Label22_Click, Label5_Click, ... Label23_Click
  void Option_Click(int option);     // Option1_Click to Option6_Click, option 1 to 6
  void StereoCaption_Click();        // Label6_Click, and Label28_Click where it exists
  void SampleRate_Change();
  void TextBox_GotFocus(QLineEdit* box);  // Samples_GotFocus, bpmSPB_GotFocus, txtLength_GotFocus
  void Command1_Click();
  void Command11_Click();
  void Command12_Click();
  void cmdNote_Click(int index);  // cmdNote0_Click to cmdNote11_Click
  void sldOctave_Scroll();

  // Sets a slider from code: raises no Scroll. A position outside the
  // slider's range, or none at all, is refused and reported as a failure.
  static bool SetSliderPosition(QSlider* slider, std::optional<int> position);

  // The delay box of a slot, 0 to calc::kDelaySlots - 1.
  QLineEdit* DelayBox(int slot) const;

  // The controls the program and the extras read and write, by what they are;
  // their names belong to the layout tables and to FindControls alone.
  QLineEdit* tempoBox() const;  // bpm
  QSlider* tempoSlider() const { return slider1_; }
  QComboBox* sampleRateBox() const { return sampleRate_; }
  QLineEdit* samplesBox() const;    // Samples
  QLineEdit* loopTempoBox() const;  // bpmSPB
  QLineEdit* lengthBox() const;     // txtLength
  QSlider* octaveSlider() const { return sldOctave_; }
  QLineEdit* octaveBox() const;                        // txtOctave
  QLineEdit* noteBox() const;                          // txtNote
  QLabel* noteIndexLabel() const { return lblNote_; }  // hidden: the note's index
  QLineEdit* noteFrequencyBox() const;                 // NoteFreq
  QLineEdit* midiNumberBox() const;                    // MidiNoteNumber
  QPushButton* aboutButton() const { return command4_; }

  // Every tempo reaches the tempo box here: the text is set, bpm_Change runs
  // as for any change of the box, then tempoWritten says where it came from.
  void SetTempo(const QString& text, TempoOrigin origin);
  // Writes a computed tempo as a handler writes a result, fitted to the box;
  // false, and nothing written, when it cannot be shown.
  bool WriteTempo(const std::string& text, TempoOrigin origin);
  // Writes the sample rate box's text as the user's edit does, and
  // SampleRate_Change runs; a text the box already shows changes nothing.
  void SetSampleRate(const QString& text);

  // The note calculator's reference pitch of A4 and MIDI numbering; the
  // defaults are the designed ones. A change recomputes the current note's
  // results as the octave slider does.
  void SetNoteTuning(double referencePitch, calc::MidiNumbering numbering);

 signals:
  // What the buttons that act on the program rather than on this window ask.
  void largerLayoutRequested();   // Max
  void smallerLayoutRequested();  // Min
  void exitRequested();           // Command2
  void helpRequested();           // Command3
  void aboutRequested();          // Command4
  // The user asked the window's close box to close it; the program unloads it.
  void closeRequested();
  // A tempo was written into the tempo box (SetTempo), or the user edited it.
  void tempoWritten(ui::TempoOrigin origin);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FindControls();
  void Wire();

  // Writes a computed result into a box, fitted to the box's length; false
  // when there is no result or it cannot be shown in the box.
  bool WriteResult(QLineEdit* box, const std::optional<std::string>& text);
  std::optional<QString> FitResult(const QLineEdit* box,
                                   const std::optional<std::string>& text) const;
  std::string Text(const QLineEdit* box) const;
  std::string Text(const QComboBox* box) const;
  std::string Text(const QLabel* label) const;
  calc::DelayTexts CurrentDelayTexts() const;
  bool UpdateSamplesFromTempo();
  void UpdateLoop(calc::StepRunner& steps);
  void UpdateNote(calc::StepRunner& steps);
  void SetSlotBackground(int slot, const QColor& color);

  const char separator_;
  double referencePitch_ = calc::kStandardPitch;
  calc::MidiNumbering numbering_ = calc::kDesignedNumbering;

  // The controls the handlers read and write.
  TextBox* bpm_ = nullptr;
  QSlider* slider1_ = nullptr;
  std::array<TextBox*, calc::kDelaySlots> text1_{};
  QComboBox* sampleRate_ = nullptr;
  TextBox* samples_ = nullptr;
  TextBox* bpmSPB_ = nullptr;
  TextBox* txtLength_ = nullptr;
  QSlider* sldOctave_ = nullptr;
  TextBox* txtOctave_ = nullptr;
  TextBox* txtNote_ = nullptr;
  QLabel* lblNote_ = nullptr;
  TextBox* noteFreq_ = nullptr;
  TextBox* midiNoteNumber_ = nullptr;
  QPushButton* command4_ = nullptr;
};

}  // namespace ui
