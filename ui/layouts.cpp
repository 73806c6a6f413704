// The two main-window layouts as tables: the compact window MainForm and the
// large window MainFormBig. Both carry the same control names; only geometry,
// fonts, focus order and a few captions differ. Rows run from the controls
// placed on the window itself to each frame's content in turn.

#include <array>
#include <cstddef>

#include "calc/delay_table.h"
#include "calc/numeric_text.h"
#include "layout.h"
#include "version.h"

// Rows name only the fields that differ from ControlRow's defaults.

namespace ui {
namespace {

const QColor kBlack(0, 0, 0);
// The keyboard panel's outline; the large window's octave marks, drawn on the
// white panel, take it too.
const QColor kPanelBorder(64, 64, 64);

// Geometry and look of the 24 delay boxes Text1(0)..Text1(23): box i sits in
// row i / 4 and column i % 4 of Frame1.
struct DelayGrid {
  std::array<int, 4> lefts;
  std::array<int, 4> widths;
  int firstTop = 0;
  int rowPitch = 0;
  int height = 0;
  int firstFocus = 0;      // focus number of Text1(0)
  int focusDirection = 1;  // +1: Text1(i) gets firstFocus + i; -1: firstFocus - i
  FontRow font;
  QString lastTooltip;  // tooltip of Text1(23)
};

// Box i shows the note value 1/2^(i/2) of a whole note, dotted when i is odd.
QString DelayTooltip(int index) {
  const int power = index / 2;
  QString note =
      power == 0 ? QStringLiteral("whole note") : QStringLiteral("1/%1 note").arg(1 << power);
  return index % 2 == 0 ? note : QStringLiteral("dotted ") + note;
}

void AddDelayBoxes(std::vector<ControlRow>& controls, const DelayGrid& grid) {
  constexpr int kBoxes = calc::kDelaySlots;
  for (int i = 0; i < kBoxes; ++i) {
    const auto column = static_cast<std::size_t>(i % 4);
    const int row = i / 4;
    const bool dotted = i % 2 == 1;
    controls.push_back({
        .name = QStringLiteral("Text1(%1)").arg(i),
        .kind = Kind::Output,
        .container = "Frame1",
        .left = grid.lefts[column],
        .top = grid.firstTop + grid.rowPitch * row,
        .width = grid.widths[column],
        .height = grid.height,
        .focus = grid.firstFocus + grid.focusDirection * i,
        .text = "0",
        .tooltip = i == kBoxes - 1 ? grid.lastTooltip : DelayTooltip(i),
        .font = grid.font,
        .style = dotted ? BoxStyle::DottedOutput : BoxStyle::Output,
        .maxLength = static_cast<int>(calc::kSlotLength),
    });
  }
}

// The clickable scale under the tempo slider: 13 labels for the tempos 0, 20,
// ... 240, each applying its tempo when clicked.
constexpr int kScaleMarks = 13;
constexpr int kScaleStep = 20;
constexpr std::array<const char*, kScaleMarks> kScaleNames = {
    "Label22", "Label5",  "Label17", "Label16", "Label15", "Label14", "Label10",
    "Label12", "Label13", "Label11", "Label9",  "Label21", "Label23"};

struct TempoScale {
  std::array<int, kScaleMarks> lefts;
  std::array<int, kScaleMarks> widths;
  std::array<int, kScaleMarks> focus;
  int top = 0;
  int height = 0;
  FontRow font;
};

void AddTempoScale(std::vector<ControlRow>& controls, const TempoScale& scale) {
  for (std::size_t i = 0; i < kScaleMarks; ++i) {
    const int tempo = kScaleStep * static_cast<int>(i);
    controls.push_back({
        .name = kScaleNames[i],
        .kind = Kind::Label,
        .container = "Frame4",
        .left = scale.lefts[i],
        .top = scale.top,
        .width = scale.widths[i],
        .height = scale.height,
        .focus = scale.focus[i],
        .text = QString::fromStdString(calc::IntegerToText(tempo)),
        .font = scale.font,
        .foreground = kBlack,
        .role = Role::TempoPreset,
        .value = tempo,
    });
  }
}

// The tempo slider's tick marks, one every 5 BPM: one a position would draw
// 241 marks a pixel or two apart, a dashed bar rather than a scale. Arrow keys
// and clicks beside the handle then step by 1, for the exact tempo.
constexpr int kTempoTicks = 5;

const QStringList kSampleRates = {"8000", "11025", "22050", "32000", "44100", "48000", "96000"};

}  // namespace

// The tables keep one control to a row, each with every property it sets.
// Kept as designed: a triangle button's caption ("5" and "6", "t" and "u") is
// the letter of its triangle in a symbol font; the button draws the triangle
// itself (`arrow`) and never shows the letter.
// clang-format off
const Layout& CompactLayout() {
  static const Layout compact = [] {
    Layout l;
    l.name = "MainForm";
    l.caption = QStringLiteral("Tempiva %1").arg(build_info::kVersion);
    l.clientWidth = 5970;
    l.clientHeight = 3435;
    l.background = WindowBackground::ActiveBorder;

    const FontRow small675{6.75};
    const FontRow small6{6};
    const FontRow small525{5.25};
    const FontRow frameCaption{6.75, true};
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    auto& c = l.controls;
    c = {
        // On the window.
        {.name = "bpm", .kind = Kind::Input, .left = 120, .top = 210, .width = 615, .height = 285, .focus = 0,
         .tooltip = "Enter BPM or select with slider", .style = BoxStyle::Input, .maxLength = 6, .accessibleName = "Tempo (BPM)"},
        {.name = "Command2", .kind = Kind::Button, .left = 2100, .top = 3090, .width = 780, .height = 285, .focus = 1, .text = "Exit", .font = small675},
        {.name = "Command3", .kind = Kind::Button, .left = 840, .top = 3090, .width = 705, .height = 285, .focus = 2, .text = "Help", .font = small675},
        {.name = "Command4", .kind = Kind::Button, .left = 60, .top = 3090, .width = 705, .height = 285, .focus = 3, .text = "About", .font = small675},
        {.name = "lblNote", .kind = Kind::Label, .left = 90, .top = 3540, .width = 330, .height = 285, .focus = 4, .text = "9", .visible = false},
        {.name = "Frame1", .kind = Kind::Frame, .left = 30, .top = 630, .width = 2895, .height = 2355, .focus = 5, .text = "Delay calculator", .font = frameCaption},
        {.name = "Frame2", .kind = Kind::Frame, .left = 3030, .top = 630, .width = 2895, .height = 1095, .focus = 36, .text = "Beat calculator", .font = frameCaption},
        {.name = "Frame3", .kind = Kind::Frame, .left = 3030, .top = 1800, .width = 2895, .height = 1575, .focus = 47, .text = "Note information", .font = frameCaption},
        {.name = "Frame4", .kind = Kind::Frame, .left = 30, .top = 30, .width = 5895, .height = 555, .focus = 69, .text = "BPM", .font = frameCaption},
        {.name = "Max", .kind = Kind::Button, .left = 1650, .top = 3090, .width = 345, .height = 285, .focus = 90, .text = "5",
         .tooltip = "Larger window", .font = {12}, .accessibleName = "Larger window", .arrow = Arrow::Up},

        // Frame4 "BPM": tempo slider and its clickable scale.
        {.name = "Slider1", .kind = Kind::Slider, .container = "Frame4", .left = 750, .top = 120, .width = 5055, .height = 285, .focus = 70,
         .tooltip = "Slide to select BPM", .minimum = 0, .maximum = 240, .position = 120, .singleStep = 1, .pageStep = 1, .tickInterval = kTempoTicks},

        // Frame1 "Delay calculator": column headings (the boxes follow below).
        {.name = "Label1", .kind = Kind::Label, .container = "Frame1", .left = 90, .top = 210, .width = 645, .height = 150, .focus = 32, .text = "Normal", .font = small675, .foreground = kBlack},
        {.name = "Label2", .kind = Kind::Label, .container = "Frame1", .left = 750, .top = 210, .width = 825, .height = 195, .focus = 33, .text = "Dotted", .font = small675, .foreground = kBlack},
        {.name = "Label7", .kind = Kind::Label, .container = "Frame1", .left = 1470, .top = 210, .width = 645, .height = 150, .focus = 34, .text = "Normal", .font = small675, .foreground = kBlack},
        {.name = "Label8", .kind = Kind::Label, .container = "Frame1", .left = 2130, .top = 210, .width = 585, .height = 195, .focus = 35, .text = "Dotted", .font = small675, .foreground = kBlack},
    };

    AddDelayBoxes(c, {.lefts = {90, 750, 1470, 2130},
                      .widths = {650, 650, 650, 650},
                      .firstTop = 390,
                      .rowPitch = 270,
                      .height = 285,
                      .firstFocus = 6,
                      .focusDirection = 1,
                      .font = {},
                      .lastTooltip = "dotted 1/2048 note"});
    AddTempoScale(c, {.lefts = {840, 1230, 1590, 2010, 2400, 2790, 3180, 3570, 3960, 4380, 4770, 5190, 5550},
                      .widths = {135, 285, 285, 285, 285, 285, 285, 285, 285, 285, 285, 285, 255},
                      .focus = {72, 75, 83, 81, 80, 79, 76, 77, 78, 82, 74, 73, 71},
                      .top = 390,
                      .height = 150,
                      .font = small525});

    c.insert(c.end(), {
        // Frame1, stereo-pair row.
        {.name = "Label28", .kind = Kind::Label, .container = "Frame1", .left = 120, .top = 2010, .width = 645, .height = 195, .focus = 30, .text = "suggested",
         .font = small6, .alignment = right, .foreground = kBlack, .role = Role::ClearStereoPairs},
        {.name = "Label6", .kind = Kind::Label, .container = "Frame1", .left = 60, .top = 2130, .width = 705, .height = 165, .focus = 31, .text = "stereo pairs",
         .font = small6, .alignment = right, .foreground = kBlack, .role = Role::ClearStereoPairs},
        {.name = "Option1", .kind = Kind::Option, .container = "Frame1", .left = 810, .top = 2070, .width = 315, .height = 195, .focus = 89, .text = "1", .font = small675, .accessibleName = "Stereo pair 1"},
        {.name = "Option2", .kind = Kind::Option, .container = "Frame1", .left = 1140, .top = 2070, .width = 345, .height = 195, .focus = 88, .text = "2", .font = small675, .accessibleName = "Stereo pair 2"},
        {.name = "Option3", .kind = Kind::Option, .container = "Frame1", .left = 1500, .top = 2070, .width = 315, .height = 195, .focus = 87, .text = "3", .font = small675, .accessibleName = "Stereo pair 3"},
        {.name = "Option4", .kind = Kind::Option, .container = "Frame1", .left = 1830, .top = 2070, .width = 315, .height = 195, .focus = 86, .text = "4", .font = small675, .accessibleName = "Stereo pair 4"},
        {.name = "Option5", .kind = Kind::Option, .container = "Frame1", .left = 2160, .top = 2070, .width = 315, .height = 195, .focus = 85, .text = "5", .font = small675, .accessibleName = "Stereo pair 5"},
        {.name = "Option6", .kind = Kind::Option, .container = "Frame1", .left = 2490, .top = 2070, .width = 315, .height = 195, .focus = 84, .text = "6", .font = small675, .accessibleName = "Stereo pair 6"},

        // Frame2 "Beat calculator".
        {.name = "Label3", .kind = Kind::Label, .container = "Frame2", .left = 90, .top = 210, .width = 1185, .height = 225, .focus = 45, .text = "Sample Rate (Hz)", .font = small675, .foreground = kBlack},
        {.name = "SampleRate", .kind = Kind::Combo, .container = "Frame2", .left = 90, .top = 390, .width = 1065, .height = 315, .focus = 37, .text = "44100",
         .style = BoxStyle::Input, .accessibleName = "Sample Rate (Hz)", .items = kSampleRates},
        {.name = "Label4", .kind = Kind::Label, .container = "Frame2", .left = 1410, .top = 210, .width = 1245, .height = 255, .focus = 46, .text = "Samples per Beat", .font = small675, .foreground = kBlack},
        {.name = "Samples", .kind = Kind::Input, .container = "Frame2", .left = 1410, .top = 390, .width = 1140, .height = 285, .focus = 40, .text = "44100",
         .tooltip = "Enter the # of samples of your loop here", .style = BoxStyle::Input, .maxLength = 10, .accessibleName = "Samples per Beat"},
        {.name = "Command11", .kind = Kind::Button, .container = "Frame2", .left = 2550, .top = 390, .width = 135, .height = 135, .focus = 39, .text = "t",
         .tooltip = "Multiplies Samples per Beat by 2", .font = {8.25}, .arrow = Arrow::Up},
        {.name = "Label29", .kind = Kind::Label, .container = "Frame2", .left = 2700, .top = 390, .width = 195, .height = 165, .focus = 44, .text = "x2", .font = small525},
        {.name = "Command12", .kind = Kind::Button, .container = "Frame2", .left = 2550, .top = 510, .width = 135, .height = 135, .focus = 38, .text = "u",
         .tooltip = "Divides Samples per Beat by 2", .font = {8.25}, .arrow = Arrow::Down},
        {.name = "Label30", .kind = Kind::Label, .container = "Frame2", .left = 2700, .top = 540, .width = 195, .height = 165, .focus = 43, .text = "/2", .font = small525},
        {.name = "txtLength", .kind = Kind::Output, .container = "Frame2", .left = 120, .top = 720, .width = 600, .height = 285, .focus = 91,
         .style = BoxStyle::Output, .maxLength = 6, .accessibleName = "Loop length (seconds)"},
        {.name = "Command1", .kind = Kind::Button, .container = "Frame2", .left = 780, .top = 720, .width = 1320, .height = 240, .focus = 41, .text = "<- LENGTH   BPM ->",
         .tooltip = "Calculates BPM from the number of samples", .font = small6},
        {.name = "bpmSPB", .kind = Kind::Output, .container = "Frame2", .left = 2220, .top = 720, .width = 600, .height = 285, .focus = 42,
         .style = BoxStyle::Output, .maxLength = 6, .accessibleName = "Tempo from samples (BPM)"},
        {.name = "Line1", .kind = Kind::Line, .container = "Frame2", .left = 1590, .top = 480, .width = 1230, .height = 480, .foreground = kBlack, .lineWidth = 2},
        {.name = "Line2", .kind = Kind::Line, .container = "Frame2", .left = 1230, .top = 480, .width = 1230, .height = 840, .foreground = kBlack, .lineWidth = 2},
        {.name = "Line3", .kind = Kind::Line, .container = "Frame2", .left = 360, .top = 840, .width = 2535, .height = 840, .foreground = kBlack, .lineWidth = 2},

        // Frame3 "Note information".
        {.name = "Label31", .kind = Kind::Label, .container = "Frame3", .left = 90, .top = 210, .width = 1275, .height = 195, .focus = 65, .text = "Select octave", .font = small675},
        {.name = "sldOctave", .kind = Kind::Slider, .container = "Frame3", .left = 90, .top = 360, .width = 1995, .height = 255, .focus = 60,
         .accessibleName = "Select octave", .minimum = 0, .maximum = 10, .position = 4, .singleStep = 1, .pageStep = 1, .tickInterval = 1},
        {.name = "Shape3", .kind = Kind::Rectangle, .container = "Frame3", .left = 90, .top = 600, .width = 1995, .height = 885,
         .background = QColor(224, 224, 224), .border = kPanelBorder},
        {.name = "Shape11", .kind = Kind::Rectangle, .container = "Frame3", .left = 240, .top = 660, .width = 555, .height = 420, .background = kBlack, .border = kBlack},
        {.name = "Shape13", .kind = Kind::Rectangle, .container = "Frame3", .left = 1050, .top = 660, .width = 825, .height = 420, .background = kBlack, .border = kBlack},
        {.name = "cmdNote1", .kind = Kind::Button, .container = "Frame3", .left = 270, .top = 690, .width = 240, .height = 360, .focus = 48, .text = "C#", .font = small675},
        {.name = "cmdNote3", .kind = Kind::Button, .container = "Frame3", .left = 540, .top = 690, .width = 225, .height = 360, .focus = 49, .text = "D#", .font = small675},
        {.name = "cmdNote6", .kind = Kind::Button, .container = "Frame3", .left = 1080, .top = 690, .width = 240, .height = 360, .focus = 50, .text = "F#", .font = small675},
        {.name = "cmdNote8", .kind = Kind::Button, .container = "Frame3", .left = 1350, .top = 690, .width = 240, .height = 360, .focus = 51, .text = "G#", .font = small675},
        {.name = "cmdNote10", .kind = Kind::Button, .container = "Frame3", .left = 1620, .top = 690, .width = 240, .height = 360, .focus = 52, .text = "A#", .font = small675},
        {.name = "cmdNote0", .kind = Kind::Button, .container = "Frame3", .left = 150, .top = 1080, .width = 240, .height = 360, .focus = 59, .text = "C", .font = small675},
        {.name = "cmdNote2", .kind = Kind::Button, .container = "Frame3", .left = 420, .top = 1080, .width = 240, .height = 360, .focus = 58, .text = "D", .font = small675},
        {.name = "cmdNote4", .kind = Kind::Button, .container = "Frame3", .left = 690, .top = 1080, .width = 240, .height = 360, .focus = 57, .text = "E", .font = small675},
        {.name = "cmdNote5", .kind = Kind::Button, .container = "Frame3", .left = 960, .top = 1080, .width = 240, .height = 360, .focus = 56, .text = "F", .font = small675},
        {.name = "cmdNote7", .kind = Kind::Button, .container = "Frame3", .left = 1230, .top = 1080, .width = 240, .height = 360, .focus = 55, .text = "G", .font = small675},
        {.name = "cmdNote9", .kind = Kind::Button, .container = "Frame3", .left = 1500, .top = 1080, .width = 240, .height = 360, .focus = 54, .text = "A", .font = small675},
        {.name = "cmdNote11", .kind = Kind::Button, .container = "Frame3", .left = 1770, .top = 1080, .width = 240, .height = 360, .focus = 53, .text = "B", .font = small675},
        {.name = "Label18", .kind = Kind::Label, .container = "Frame3", .left = 2130, .top = 210, .width = 600, .height = 195, .focus = 66, .text = "Note", .font = small675, .foreground = kBlack},
        {.name = "txtNote", .kind = Kind::Output, .container = "Frame3", .left = 2130, .top = 360, .width = 375, .height = 285, .focus = 61, .text = "A",
         .font = {8.25, true}, .style = BoxStyle::Output, .accessibleName = "Note"},
        {.name = "txtOctave", .kind = Kind::Output, .container = "Frame3", .left = 2490, .top = 360, .width = 345, .height = 285, .focus = 62, .text = "4",
         .font = {8.25, true}, .style = BoxStyle::Output, .accessibleName = "Octave"},
        {.name = "Label19", .kind = Kind::Label, .container = "Frame3", .left = 2130, .top = 630, .width = 780, .height = 195, .focus = 67, .text = "Frequency", .font = small675, .foreground = kBlack},
        {.name = "NoteFreq", .kind = Kind::Output, .container = "Frame3", .left = 2130, .top = 780, .width = 720, .height = 285, .focus = 63, .text = "440.000",
         .style = BoxStyle::Output, .maxLength = 7, .accessibleName = "Frequency"},
        {.name = "Label20", .kind = Kind::Label, .container = "Frame3", .left = 2130, .top = 1050, .width = 465, .height = 195, .focus = 68, .text = "Midi #", .font = small675, .foreground = kBlack},
        {.name = "MidiNoteNumber", .kind = Kind::Output, .container = "Frame3", .left = 2130, .top = 1200, .width = 420, .height = 285, .focus = 64, .text = "57",
         .style = BoxStyle::Output, .accessibleName = "Midi #"},
    });
    return l;
  }();
  return compact;
}

const Layout& LargeLayout() {
  static const Layout large = [] {
    Layout l;
    l.name = "MainFormBig";
    l.caption = QStringLiteral("Tempiva %1").arg(build_info::kVersion);
    l.clientWidth = 7530;
    l.clientHeight = 4890;
    l.background = WindowBackground::ButtonFace;

    const FontRow small675{6.75};
    const FontRow box{9.75, true};

    auto& c = l.controls;
    c = {
        // On the window.
        {.name = "bpm", .kind = Kind::Input, .left = 240, .top = 240, .width = 795, .height = 345, .focus = 1,
         .tooltip = "Enter BPM or select with slider", .font = box, .style = BoxStyle::Input, .maxLength = 6, .accessibleName = "Tempo (BPM)"},
        {.name = "Frame3", .kind = Kind::Frame, .left = 3840, .top = 2580, .width = 3615, .height = 2235, .focus = 0, .text = "Note information"},
        {.name = "Frame2", .kind = Kind::Frame, .left = 3840, .top = 1020, .width = 3615, .height = 1455, .focus = 21, .text = "Beat calculator"},
        {.name = "Command2", .kind = Kind::Button, .left = 2820, .top = 4440, .width = 915, .height = 375, .focus = 32, .text = "Exit"},
        {.name = "Command4", .kind = Kind::Button, .left = 60, .top = 4440, .width = 915, .height = 375, .focus = 33, .text = "About"},
        {.name = "Command3", .kind = Kind::Button, .left = 1035, .top = 4440, .width = 915, .height = 375, .focus = 34, .text = "Help"},
        {.name = "Frame1", .kind = Kind::Frame, .left = 60, .top = 1020, .width = 3675, .height = 3255, .focus = 35, .text = "Delay calculator"},
        {.name = "Frame4", .kind = Kind::Frame, .left = 60, .top = 0, .width = 7395, .height = 915, .focus = 71, .text = "BPM"},
        {.name = "lblNote", .kind = Kind::Label, .left = 120, .top = 5220, .width = 330, .height = 285, .focus = 86, .text = "9", .visible = false},
        {.name = "Min", .kind = Kind::Button, .left = 2100, .top = 4440, .width = 525, .height = 375, .focus = 87, .text = "6",
         .font = {18}, .accessibleName = "Smaller window", .arrow = Arrow::Down},

        // Frame4 "BPM": tempo slider and its clickable scale.
        {.name = "Slider1", .kind = Kind::Slider, .container = "Frame4", .left = 990, .top = 180, .width = 6315, .height = 450, .focus = 72,
         .tooltip = "Slide to select BPM", .minimum = 0, .maximum = 240, .position = 0, .singleStep = 1, .pageStep = 1, .tickInterval = kTempoTicks},

        // Frame1 "Delay calculator": column headings (the boxes follow below).
        {.name = "Label1", .kind = Kind::Label, .container = "Frame1", .left = 120, .top = 240, .width = 645, .height = 150, .focus = 69, .text = "Normal", .font = small675, .foreground = kBlack},
        {.name = "Label2", .kind = Kind::Label, .container = "Frame1", .left = 960, .top = 240, .width = 645, .height = 195, .focus = 68, .text = "Dotted", .font = small675, .foreground = kBlack},
        {.name = "Label7", .kind = Kind::Label, .container = "Frame1", .left = 1860, .top = 240, .width = 645, .height = 150, .focus = 67, .text = "Normal", .font = small675, .foreground = kBlack},
        {.name = "Label8", .kind = Kind::Label, .container = "Frame1", .left = 2700, .top = 240, .width = 585, .height = 195, .focus = 66, .text = "Dotted", .font = small675, .foreground = kBlack},
    };

    AddDelayBoxes(c, {.lefts = {120, 960, 1860, 2700},
                      .widths = {825, 765, 825, 825},
                      .firstTop = 420,
                      .rowPitch = 360,
                      .height = 345,
                      .firstFocus = 65,
                      .focusDirection = -1,
                      .font = box,
                      .lastTooltip = "dotted 1/2048 note :-)"});
    AddTempoScale(c, {.lefts = {1140, 1625, 2110, 2595, 3080, 3510, 4050, 4535, 5020, 5505, 5990, 6475, 6960},
                      .widths = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
                      .focus = {84, 81, 73, 75, 76, 77, 80, 79, 78, 74, 82, 83, 85},
                      .top = 660,
                      .height = 150,
                      .font = small675});

    c.insert(c.end(), {
        // Frame1, stereo-pair row.
        {.name = "Label6", .kind = Kind::Label, .container = "Frame1", .left = 120, .top = 2640, .width = 1605, .height = 165, .focus = 70, .text = "Suggested Stereo Pairs",
         .font = small675, .foreground = kBlack, .role = Role::ClearStereoPairs},
        {.name = "Option1", .kind = Kind::Option, .container = "Frame1", .left = 60, .top = 2880, .width = 555, .height = 255, .focus = 36, .text = "1", .accessibleName = "Stereo pair 1"},
        {.name = "Option2", .kind = Kind::Option, .container = "Frame1", .left = 645, .top = 2880, .width = 555, .height = 255, .focus = 37, .text = "2", .accessibleName = "Stereo pair 2"},
        {.name = "Option3", .kind = Kind::Option, .container = "Frame1", .left = 1230, .top = 2880, .width = 555, .height = 255, .focus = 38, .text = "3", .accessibleName = "Stereo pair 3"},
        {.name = "Option4", .kind = Kind::Option, .container = "Frame1", .left = 1830, .top = 2880, .width = 555, .height = 255, .focus = 39, .text = "4", .accessibleName = "Stereo pair 4"},
        {.name = "Option5", .kind = Kind::Option, .container = "Frame1", .left = 2415, .top = 2880, .width = 570, .height = 255, .focus = 40, .text = "5", .accessibleName = "Stereo pair 5"},
        {.name = "Option6", .kind = Kind::Option, .container = "Frame1", .left = 3000, .top = 2880, .width = 555, .height = 255, .focus = 41, .text = "6", .accessibleName = "Stereo pair 6"},

        // Frame2 "Beat calculator".
        {.name = "Label3", .kind = Kind::Label, .container = "Frame2", .left = 90, .top = 270, .width = 1185, .height = 225, .focus = 29, .text = "Sample Rate (Hz)", .font = small675, .foreground = kBlack},
        {.name = "SampleRate", .kind = Kind::Combo, .container = "Frame2", .left = 90, .top = 450, .width = 1065, .height = 360, .focus = 27, .text = "44100",
         .font = box, .style = BoxStyle::Input, .accessibleName = "Sample Rate (Hz)", .items = kSampleRates},
        {.name = "Label4", .kind = Kind::Label, .container = "Frame2", .left = 1890, .top = 270, .width = 1245, .height = 255, .focus = 28, .text = "Samples per Beat", .font = small675, .foreground = kBlack},
        {.name = "Samples", .kind = Kind::Input, .container = "Frame2", .left = 1920, .top = 480, .width = 1140, .height = 390, .focus = 24, .text = "44100",
         .tooltip = "Enter the # of samples of your loop here", .font = box, .style = BoxStyle::Input, .maxLength = 10, .accessibleName = "Samples per Beat"},
        {.name = "Command11", .kind = Kind::Button, .container = "Frame2", .left = 3060, .top = 480, .width = 255, .height = 195, .focus = 25, .text = "t",
         .tooltip = "Multiplies Samples per Beat by 2", .font = {8.25}, .arrow = Arrow::Up},
        {.name = "Label29", .kind = Kind::Label, .container = "Frame2", .left = 3360, .top = 480, .width = 195, .height = 165, .focus = 30, .text = "X 2", .font = small675},
        {.name = "Command12", .kind = Kind::Button, .container = "Frame2", .left = 3060, .top = 660, .width = 255, .height = 195, .focus = 26, .text = "u",
         .tooltip = "Divides Samples per Beat by 2", .font = {8.25}, .arrow = Arrow::Down},
        {.name = "Label30", .kind = Kind::Label, .container = "Frame2", .left = 3360, .top = 720, .width = 195, .height = 165, .focus = 31, .text = "/ 2", .font = small675},
        {.name = "txtLength", .kind = Kind::Output, .container = "Frame2", .left = 60, .top = 960, .width = 915, .height = 360, .focus = 88,
         .font = {9.75, true}, .style = BoxStyle::Output, .maxLength = 6, .accessibleName = "Loop length (seconds)", .foreground = QColor(0, 255, 255)},
        {.name = "Command1", .kind = Kind::Button, .container = "Frame2", .left = 1080, .top = 960, .width = 1620, .height = 360, .focus = 23, .text = "<- LENGTH    BPM ->",
         .tooltip = "Calculates BPM from the number of samples", .font = small675},
        {.name = "bpmSPB", .kind = Kind::Output, .container = "Frame2", .left = 2760, .top = 960, .width = 780, .height = 360, .focus = 22,
         .font = box, .style = BoxStyle::Output, .maxLength = 6, .accessibleName = "Tempo from samples (BPM)"},
        {.name = "Line1", .kind = Kind::Line, .container = "Frame2", .left = 1950, .top = 660, .width = 1680, .height = 660, .foreground = kBlack, .lineWidth = 3},
        {.name = "Line2", .kind = Kind::Line, .container = "Frame2", .left = 1680, .top = 660, .width = 1680, .height = 1020, .foreground = kBlack, .lineWidth = 3},
        {.name = "Line3", .kind = Kind::Line, .container = "Frame2", .left = 840, .top = 1140, .width = 2820, .height = 1140, .foreground = kBlack, .lineWidth = 3},

        // Frame3 "Note information".
        {.name = "Label31", .kind = Kind::Label, .container = "Frame3", .left = 120, .top = 240, .width = 1275, .height = 195, .focus = 20, .text = "Select octave", .font = small675},
        {.name = "sldOctave", .kind = Kind::Slider, .container = "Frame3", .left = 90, .top = 480, .width = 2475, .height = 315, .focus = 16,
         .accessibleName = "Select octave", .foreground = kPanelBorder, .minimum = 0, .maximum = 10, .position = 4, .singleStep = 1, .pageStep = 1, .tickInterval = 1},
        {.name = "Shape3", .kind = Kind::Rectangle, .container = "Frame3", .left = 90, .top = 600, .width = 2475, .height = 1545,
         .background = QColor(255, 255, 255), .border = kPanelBorder},
        {.name = "Shape11", .kind = Kind::Rectangle, .container = "Frame3", .left = 240, .top = 840, .width = 765, .height = 735, .background = kBlack, .border = kBlack},
        {.name = "Shape13", .kind = Kind::Rectangle, .container = "Frame3", .left = 1290, .top = 840, .width = 1035, .height = 735, .background = kBlack, .border = kBlack},
        {.name = "cmdNote1", .kind = Kind::Button, .container = "Frame3", .left = 300, .top = 900, .width = 315, .height = 615, .focus = 89, .text = "C#"},
        {.name = "cmdNote3", .kind = Kind::Button, .container = "Frame3", .left = 660, .top = 900, .width = 315, .height = 615, .focus = 90, .text = "D#"},
        {.name = "cmdNote6", .kind = Kind::Button, .container = "Frame3", .left = 1350, .top = 900, .width = 285, .height = 615, .focus = 15, .text = "F#"},
        {.name = "cmdNote8", .kind = Kind::Button, .container = "Frame3", .left = 1650, .top = 900, .width = 315, .height = 615, .focus = 14, .text = "G#"},
        {.name = "cmdNote10", .kind = Kind::Button, .container = "Frame3", .left = 1980, .top = 900, .width = 315, .height = 615, .focus = 13, .text = "A#"},
        {.name = "cmdNote0", .kind = Kind::Button, .container = "Frame3", .left = 180, .top = 1560, .width = 315, .height = 555, .focus = 6, .text = "C"},
        {.name = "cmdNote2", .kind = Kind::Button, .container = "Frame3", .left = 515, .top = 1560, .width = 315, .height = 555, .focus = 7, .text = "D"},
        {.name = "cmdNote4", .kind = Kind::Button, .container = "Frame3", .left = 850, .top = 1560, .width = 315, .height = 555, .focus = 8, .text = "E"},
        {.name = "cmdNote5", .kind = Kind::Button, .container = "Frame3", .left = 1185, .top = 1560, .width = 315, .height = 555, .focus = 9, .text = "F"},
        {.name = "cmdNote7", .kind = Kind::Button, .container = "Frame3", .left = 1520, .top = 1560, .width = 315, .height = 555, .focus = 10, .text = "G"},
        {.name = "cmdNote9", .kind = Kind::Button, .container = "Frame3", .left = 1855, .top = 1560, .width = 315, .height = 555, .focus = 11, .text = "A"},
        {.name = "cmdNote11", .kind = Kind::Button, .container = "Frame3", .left = 2190, .top = 1560, .width = 315, .height = 555, .focus = 12, .text = "B"},
        {.name = "Label18", .kind = Kind::Label, .container = "Frame3", .left = 2640, .top = 300, .width = 600, .height = 195, .focus = 19, .text = "Note", .font = small675, .foreground = kBlack},
        {.name = "txtNote", .kind = Kind::Output, .container = "Frame3", .left = 2640, .top = 480, .width = 435, .height = 330, .focus = 5, .text = "A",
         .font = box, .style = BoxStyle::Output, .accessibleName = "Note"},
        {.name = "txtOctave", .kind = Kind::Output, .container = "Frame3", .left = 3060, .top = 480, .width = 435, .height = 330, .focus = 4, .text = "4",
         .font = box, .style = BoxStyle::Output, .accessibleName = "Octave"},
        {.name = "Label19", .kind = Kind::Label, .container = "Frame3", .left = 2640, .top = 960, .width = 780, .height = 195, .focus = 18, .text = "Frequency", .font = small675, .foreground = kBlack},
        {.name = "NoteFreq", .kind = Kind::Output, .container = "Frame3", .left = 2640, .top = 1140, .width = 885, .height = 330, .focus = 3, .text = "440.000",
         .font = box, .style = BoxStyle::Output, .maxLength = 7, .accessibleName = "Frequency"},
        {.name = "Label20", .kind = Kind::Label, .container = "Frame3", .left = 2640, .top = 1560, .width = 465, .height = 195, .focus = 17, .text = "Midi #", .font = small675, .foreground = kBlack},
        {.name = "MidiNoteNumber", .kind = Kind::Output, .container = "Frame3", .left = 2640, .top = 1755, .width = 540, .height = 330, .focus = 2, .text = "57",
         .font = box, .style = BoxStyle::Output, .accessibleName = "Midi #"},
    });
    return l;
  }();
  return large;
}
// clang-format on

}  // namespace ui
