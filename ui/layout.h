// A window layout as data: every control with its name, kind, container,
// geometry in twips, texts, font and look. One window class builds either
// layout from its table; the code never asks which layout it is showing.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

#include "units.h"

namespace ui {

using units::kTwipsPerPixel;
using units::TwipsToPixels;

enum class Kind {
  Frame,      // captioned group box; its children are placed from its outer corner
  Label,      // static text, transparent; may be clickable
  Input,      // editable one-line text box
  Output,     // read-only text box: focus, select and copy only
  Combo,      // editable text field with a list of fixed entries
  Button,     // push button
  Option,     // member of one exclusive group, drawn as a button that stays pressed
  Slider,     // horizontal track bar with a whole-number position
  Rectangle,  // filled rectangle below the controls of its container
  Line,       // straight line below the controls of its container
};

// Text box looks: colours of text and background.
enum class BoxStyle { None, Input, Output, DottedOutput };

// Every caption and box is drawn in one sans-serif face; a layout row gives
// only its size and weight. A caption is drawn smaller only where the
// controls covering its label leave too few rows for its ink.
struct FontRow {
  double points = 0;  // 0: the window's default size
  bool bold = false;
};

// A push button whose face is a triangle instead of a caption.
enum class Arrow { None, Up, Down };

// What a control does for the calculators where its name alone does not say;
// the window builder ignores it.
enum class Role {
  None,
  TempoPreset,       // a scale label: a click sets the tempo `value`
  ClearStereoPairs,  // a stereo-pair caption: a click clears the marked pair
};

struct ControlRow {
  QString name{};  // object name and the name handlers use: "bpm", "Text1(3)"
  Kind kind;
  QString container{};                           // "" for the window itself, else the frame's name
  int left = 0, top = 0, width = 0, height = 0;  // twips; a line's end points for Line
  int focus = -1;                                // focus-order number; -1 for none
  QString text{};                                // caption or initial text
  QString tooltip{};
  FontRow font{};
  BoxStyle style = BoxStyle::None;
  int maxLength = 0;         // 0: no limit
  QString accessibleName{};  // what a screen reader says, where caption or tooltip won't do
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
  QColor foreground{};  // invalid: the kind's or style's own colour; a slider's tick marks
  QColor background{};
  QColor border{};    // rectangles
  int lineWidth = 1;  // pixels, for Line
  bool visible = true;
  int minimum = 0, maximum = 0, position = 0;  // sliders
  int singleStep = 1, pageStep = 1, tickInterval = 1;
  QStringList items{};  // combo box list
  Arrow arrow = Arrow::None;
  Role role = Role::None;
  int value = 0;  // the role's value
};

// The window's own look: how it is named, titled and how large its client area is.
enum class WindowBackground { ActiveBorder, ButtonFace };

struct Layout {
  QString name{};                         // "MainForm" or "MainFormBig"
  QString caption;                        // title bar text
  int clientWidth = 0, clientHeight = 0;  // twips
  WindowBackground background = WindowBackground::ButtonFace;
  std::vector<ControlRow> controls;
};

const Layout& CompactLayout();
const Layout& LargeLayout();

}  // namespace ui
