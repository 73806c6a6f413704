#include "calc/bars.h"

#include "arithmetic.h"
#include "calc/delay_extras.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"
#include "calc/tempo_range.h"

namespace calc {
namespace {

std::optional<double> PositiveResult(std::optional<double> value) {
  if (!value || !(*value > 0.0)) return std::nullopt;
  return value;
}

std::optional<double> Beats(int bars) {
  if (bars < 1) return std::nullopt;
  return static_cast<double>(kBeatsPerBar) * static_cast<double>(bars);
}

std::string BarsText(int bars) { return IntegerToText(bars) + (bars == 1 ? " bar" : " bars"); }

// The entry for a computed value, or greyed out with the first problem found.
BarEntry MakeEntry(int bars, std::string caption, std::optional<BarProblem> problem,
                   std::optional<double> value, int decimals, std::string_view unit,
                   char separator) {
  BarEntry entry;
  entry.bars = bars;
  std::optional<std::string> text;
  if (!problem) {
    text = value ? RoundedText(*value, decimals, separator) : std::nullopt;
    // A positive value too small for the decimals is written in full, never as 0.
    if (text && TextToNumber(*text, separator) == 0.0) text = NumberToText(*value, separator);
    if (!text) problem = BarProblem::OutOfRange;
  }
  caption += ": ";
  if (problem) {
    caption += BarProblemText(*problem);
  } else {
    caption += *text;
    caption += ' ';
    caption += unit;
    entry.value = text;
  }
  entry.caption = std::move(caption);
  entry.problem = problem;
  return entry;
}

}  // namespace

std::optional<double> TempoFromBars(double samples, double rate, int bars) {
  const auto beats = Beats(bars);
  if (!beats || !(samples > 0.0) || !(rate > 0.0)) return std::nullopt;
  const auto scaled = detail::Finite(kSecondsPerMinute * rate * *beats);
  if (!scaled) return std::nullopt;
  return PositiveResult(detail::Divide(*scaled, samples));
}

std::optional<double> BarsToSamples(double tempo, double rate, int bars) {
  const auto beats = Beats(bars);
  if (!beats || !(tempo > 0.0) || !(rate > 0.0)) return std::nullopt;
  const auto scaled = detail::Finite(*beats * kSecondsPerMinute * rate);
  if (!scaled) return std::nullopt;
  return PositiveResult(detail::Divide(*scaled, tempo));
}

std::optional<double> BarsToSeconds(double tempo, int bars) {
  const auto beats = Beats(bars);
  if (!beats || !(tempo > 0.0)) return std::nullopt;
  return PositiveResult(detail::Divide(*beats * kSecondsPerMinute, tempo));
}

std::string_view BarProblemText(BarProblem problem) {
  switch (problem) {
    case BarProblem::NoSamples:
      return "no sample count";
    case BarProblem::NoTempo:
      return "no tempo";
    case BarProblem::NoSampleRate:
      return "no sample rate";
    case BarProblem::OutOfRange:
    case BarProblem::NotATempo:
      return "out of range";
  }
  return "out of range";
}

BarEntry LoopTempoEntry(std::string_view samplesText, std::string_view rateText, int bars,
                        char separator) {
  const auto samples = TextToPositiveNumber(samplesText, separator);
  const auto rate = TextToPositiveNumber(rateText, separator);
  std::optional<BarProblem> problem;
  if (!samples) {
    problem = BarProblem::NoSamples;
  } else if (!rate) {
    problem = BarProblem::NoSampleRate;
  }
  const auto tempo = problem ? std::nullopt : TempoFromBars(*samples, *rate, bars);
  return MakeEntry(bars, "As " + BarsText(bars), problem, tempo, kBarTempoDecimals, "BPM",
                   separator);
}

BarEntry ProposedLoopTempoEntry(std::string_view samplesText, std::string_view rateText, int bars,
                                char separator) {
  BarEntry entry = LoopTempoEntry(samplesText, rateText, bars, separator);
  if (!entry.value) return entry;
  const auto tempo = TextToNumber(*entry.value, separator);
  if (tempo && IsSourceTempo(*tempo)) return entry;
  // The caption keeps the tempo, as the reason it is not offered.
  entry.caption = "As " + BarsText(bars) + ": " +
                  std::string(BarProblemText(BarProblem::NotATempo)) + " (" + *entry.value +
                  " BPM)";
  entry.value.reset();
  entry.problem = BarProblem::NotATempo;
  return entry;
}

BarEntry BarSamplesEntry(std::string_view tempoText, std::string_view rateText, int bars,
                         char separator) {
  const auto tempo = TextToPositiveNumber(tempoText, separator);
  const auto rate = TextToPositiveNumber(rateText, separator);
  std::optional<BarProblem> problem;
  if (!tempo) {
    problem = BarProblem::NoTempo;
  } else if (!rate) {
    problem = BarProblem::NoSampleRate;
  }
  const auto samples = problem ? std::nullopt : BarsToSamples(*tempo, *rate, bars);
  return MakeEntry(bars, "Copy " + BarsText(bars), problem, samples, kBarSampleDecimals, "samples",
                   separator);
}

BarEntry BarSecondsEntry(std::string_view tempoText, int bars, char separator) {
  const auto tempo = TextToPositiveNumber(tempoText, separator);
  const std::optional<BarProblem> problem =
      tempo ? std::nullopt : std::optional<BarProblem>(BarProblem::NoTempo);
  const auto seconds = tempo ? BarsToSeconds(*tempo, bars) : std::nullopt;
  return MakeEntry(bars, "Copy " + BarsText(bars), problem, seconds, kBarSecondDecimals, "seconds",
                   separator);
}

}  // namespace calc
