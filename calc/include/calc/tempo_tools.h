// Tempo changes that do not come from typing: the tempo box's step keys,
// halving and doubling, and a tempo tapped by the user.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

enum class TempoStep { Up, Down, PageUp, PageDown, Halve, Double };

inline constexpr double kSmallTempoStep = 1.0;   // Up and Down
inline constexpr double kLargeTempoStep = 10.0;  // Page Up and Page Down
inline constexpr double kLowestSteppedTempo = 1.0;

// The tempo after `step`; a step never moves the tempo the wrong way.
// - Up and PageUp add 1 and 10, and give at least 1 (Up from -20 gives 1).
// - Down and PageDown subtract 1 and 10 but never go below 1: from 1.5 Down
//   gives 1, and from 1 or less they leave the tempo as it is.
// - Halve and Double always halve and double a positive tempo (Halve 1.5
//   gives 0.75, Double 0.001 gives 0.002); they fail for a tempo that is not
//   positive and for a result that is not a positive double.
// A tempo that is not finite and a result beyond the double range fail.
std::optional<double> StepTempo(double tempo, TempoStep step);
// The same over the tempo text, written as NumberToText writes it: its 15
// significant digits hide the binary noise of the sum ("120.5" Up gives
// "121.5", "0.7" PageUp "10.7"). Fails when the text does not read as a number.
std::optional<std::string> StepTempoText(std::string_view tempoText, TempoStep step,
                                         char separator);
// What a step writes into a tempo box of `boxLength` characters: the text of
// StepTempoText fitted as the window fits every box text (FitToBox). No text
// when the step would do nothing there: the tempo does not read, the step
// fails, or the fitted text does not read as a tempo moved the step's way
// (Down at 1, Up on 1E+20, where adding 1 is lost, or a result the box cannot
// show). The window greys out an entry and ignores a key that gets no text.
std::optional<std::string> StepTempoInBox(std::string_view tempoText, TempoStep step,
                                          char separator, std::size_t boxLength);
// Whether StepTempoInBox gives a text: whether the step's entry is enabled.
bool StepChangesTempo(std::string_view tempoText, TempoStep step, char separator,
                      std::size_t boxLength);

// Where a tap series stands after a tap.
struct TapState {
  int taps = 0;  // taps in the current series, the first counting 1; a double tap does not count
  std::optional<double> tempo;  // from the second tap on, unless no interval counts
  int fittedTaps = 0;           // of them, the latest the fit went through (up to 16)
  // The standard error of the fitted tempo in BPM: from the third tap on, once
  // the fit has a residual to measure (zero for taps exactly in time).
  std::optional<double> standardError;
  // The latest taps lie off the fitted line by more than their jitter
  // explains: the tempo may be changing, and the standard error says little.
  bool offLine = false;
};

// The tapped tempo rounded half away from zero to one decimal ("120", "120.5");
// no text before the second tap.
std::optional<std::string> TapTempoText(const TapState& state, char separator);
// The Tap Tempo window's status line: "120.2 BPM ± 0.3, 12 taps", the tempo
// and its standard error with one decimal; without the "± ..." part while the
// error is unknown ("120 BPM, 2 taps"), and "taps disagree" in its place
// while the latest taps lie off the line ("117.4 BPM, taps disagree, 9
// taps"). No text before the second tap.
std::optional<std::string> TapStatusText(const TapState& state, char separator);

// Fits a line through the tap times: the tempo is 60000 / (milliseconds per
// tap number) of a least-squares fit of time against tap number over the
// latest 16 taps of the series, times taken from the series' first tap so no
// precision is lost. It keeps no clock: each tap brings the input event's own
// timestamp, so a late-running handler does not skew it.
//
// Taps that do not belong are left out. An interval more than 40% shorter
// than the median of the series' intervals is a double tap or a bounce: that
// tap is not counted, and the next interval is taken from the tap before it.
// An interval more than 40% away from that median (a missed beat, a
// hesitation) is not counted either: the fit takes the taps on both sides of
// it as separate runs with one common slope.
//
// The tempo changes in two ways. When the last three intervals between
// presses agree with each other (within 15% of their median) and not with the
// series (their median more than 20% away from the series'), a new series
// starts from the four presses that bound them. A smaller change shows on the
// line: once it rests on kSettledTaps taps (fewer leave its jitter unknown),
// each tap whose interval belongs is compared with where the line, without
// the taps that already disagree with it, puts it. A tap further off than
// kOffSpread times the spread of that prediction disagrees; the spread comes
// from the fit's own residuals, widened by a prior of kPriorJitterMs worth
// kPriorTaps taps (never narrowed by it), so a 5% change is caught at a
// steady hand as a 25% one is at a loose one. Three taps in a row that
// disagree on the same side, the last further off than the first by more than
// the jitter of two taps explains, are a new tempo: a new series starts from
// them and the tap before them. Three that keep the line's pace one step off
// it are a hesitation: the oldest of them joins the line, and the watch goes
// on. A missed beat or a double tap ends no series this way: the interval of
// a missed beat does not belong and is never judged, a double tap is left out
// before it.
class TapTempo {
 public:
  static constexpr double kMaxPauseMs = 2000.0;  // a longer pause ends the series
  static constexpr std::size_t kFitTaps = 16;
  static constexpr double kOutlier = 0.4;  // of the median interval
  static constexpr std::size_t kChangeIntervals = 3;
  static constexpr double kChangeAgreement = 0.15;  // spread of the three, of their median
  static constexpr double kChangeDistance = 0.2;    // from the series' median
  static constexpr double kMsPerMinute = 60000.0;
  static constexpr std::size_t kSettledTaps = 12;  // taps on the line before it judges
  static constexpr double kOffSpread = 2.0;        // of the predicted spread
  static constexpr double kPriorJitterMs = 10.0;
  static constexpr double kPriorTaps = 4.0;

  // A tap at `ms`. A pause of more than kMaxPauseMs, or a timestamp earlier
  // than the last one (a clock that went back), starts a new series with this
  // tap as its first. A timestamp that is not finite is ignored, and so is a
  // second press in the same millisecond.
  TapState Tap(double ms);
  // Whole-number timestamps as input events carry them, converted once here.
  template <std::integral Ms>
  TapState Tap(Ms ms) {
    return Tap(static_cast<double>(ms));
  }

  const TapState& state() const noexcept { return state_; }
  // Forgets the series; the next tap is the first of a new one.
  void Reset() noexcept;

 private:
  void StartSeries(double ms);
  void AddTap(double ms);
  bool TempoChanged() const;
  std::optional<double> MedianInterval() const;
  static bool Belongs(double interval, double median);
  struct Runs;
  Runs FitTaps(std::size_t count, double median) const;
  // How far a tap lies from the line, how far it may, and how far two taps
  // may lie apart by their jitter alone.
  struct Offset {
    double ms;
    double limit;
    double twoTaps;
  };
  std::optional<Offset> OffLine(double ms, double median) const;
  bool MovingAway() const;
  void StartSeriesFrom(std::size_t taps);
  void Fit();

  TapState state_;
  bool started_ = false;
  double originMs_ = 0.0;                // the series' first tap
  std::array<double, kFitTaps> taps_{};  // the latest taps, from originMs_, oldest first
  std::size_t tapCount_ = 0;             // how many of them hold a value
  std::size_t offCount_ = 0;             // the latest taps that disagree with the line
  bool offLate_ = false;                 // on which side they lie
  std::array<Offset, kChangeIntervals> offsets_{};
  std::array<double, kChangeIntervals + 1> presses_{};  // the latest presses, oldest first
  std::size_t pressCount_ = 0;
};

}  // namespace calc
