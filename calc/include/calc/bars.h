// Loops measured in bars of 4/4, for the Samples box's menu: the tempo a loop
// of so many samples has as 1, 2, 4 or 8 bars, and the length of so many bars
// at a tempo, in samples and in seconds. (The beat calculator's own "beat" is
// two quarter notes; a bar here is four.)
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

inline constexpr std::array<int, 4> kBarCounts = {1, 2, 4, 8};  // the menu's entries
inline constexpr int kBeatsPerBar = 4;                          // quarter notes of 4/4
inline constexpr double kSecondsPerMinute = 60.0;
// Decimals of the numbers the entries show and write.
inline constexpr int kBarTempoDecimals = 3;
inline constexpr int kBarSampleDecimals = 0;
inline constexpr int kBarSecondDecimals = 6;

// 60 * rate * beats / samples, beats = 4 * bars, in that order. Fails unless
// samples and rate are positive, bars is at least 1 and the result is a
// positive double.
std::optional<double> TempoFromBars(double samples, double rate, int bars);
// beats * 60 * rate / tempo: the length of `bars` bars in samples. Fails as
// TempoFromBars does.
std::optional<double> BarsToSamples(double tempo, double rate, int bars);
// beats * 60 / tempo: the length of `bars` bars in seconds.
std::optional<double> BarsToSeconds(double tempo, int bars);

// Why an entry is greyed out.
enum class BarProblem {
  NoSamples,     // the Samples text is not a number above zero
  NoTempo,       // the tempo text is not a number above zero
  NoSampleRate,  // the sample-rate text is not a number above zero
  OutOfRange,    // the result is not a positive double or cannot be written
  NotATempo,     // a tempo outside calc::IsSourceTempo, which is never proposed
};
// "no sample count", "no tempo", "no sample rate", "out of range" (the last
// two for OutOfRange and NotATempo alike).
std::string_view BarProblemText(BarProblem problem);

// One menu entry: its caption, what choosing it writes or copies, and when it
// is greyed out, why.
struct BarEntry {
  int bars = 0;
  std::string caption;               // "As 4 bars: 120 BPM", "As 4 bars: no tempo"
  std::optional<std::string> value;  // "120": no value when greyed out
  std::optional<BarProblem> problem;
};

// "As N bars: T BPM" for the samples and sample-rate texts: the tempo rounded
// to 3 decimals at most ("As 1 bar: 480 BPM", "As 4 bars: 133.333 BPM"), as
// computed, whatever its size. All numbers are read and written with
// `separator`.
BarEntry LoopTempoEntry(std::string_view samplesText, std::string_view rateText, int bars,
                        char separator);
// LoopTempoEntry as the Samples box's menu proposes it: its value is what goes
// into the tempo box, so a tempo outside calc::IsSourceTempo is greyed out
// with itself as the reason ("As 1 bar: out of range (10584000 BPM)").
BarEntry ProposedLoopTempoEntry(std::string_view samplesText, std::string_view rateText, int bars,
                                char separator);
// "Copy N bars: S samples" for the tempo and sample-rate texts, the length
// rounded to whole samples ("Copy 4 bars: 352800 samples").
BarEntry BarSamplesEntry(std::string_view tempoText, std::string_view rateText, int bars,
                         char separator);
// "Copy N bars: S seconds" for the tempo text, rounded to 6 decimals at most
// ("Copy 4 bars: 8 seconds", "Copy 1 bar: 1.804511 seconds").
BarEntry BarSecondsEntry(std::string_view tempoText, int bars, char separator);

}  // namespace calc
