#include "calc/beat.h"

#include "arithmetic.h"
#include "calc/numeric_text.h"

namespace calc {
namespace {

// Kept as designed: 120, not the 60 seconds of a minute. Users' loops and
// their stored numbers depend on it.
constexpr double kBeatFactor = 120.0;

std::optional<std::string> ScaleText(std::string_view samplesText, char separator,
                                     double (*scale)(double)) {
  const auto samples = TextToNumber(samplesText, separator);
  if (!samples) return std::nullopt;
  const auto result = detail::Finite(scale(*samples));
  if (!result) return std::nullopt;
  return NumberToText(*result, separator);
}

}  // namespace

std::optional<double> SamplesPerBeat(double rate, double tempo) {
  const auto scaled = detail::Finite(rate * kBeatFactor);
  if (!scaled) return std::nullopt;
  return detail::Divide(*scaled, tempo);
}

std::optional<double> TempoFromSamples(double rate, double samples) {
  return SamplesPerBeat(rate, samples);  // the same formula, tempo and samples swapped
}

std::optional<double> LengthSeconds(double samples, double rate) {
  return detail::Divide(samples, rate);
}

std::optional<std::string> SamplesPerBeatText(std::string_view rateText, std::string_view tempoText,
                                              char separator) {
  return detail::OverTexts(rateText, tempoText, separator, SamplesPerBeat);
}

std::optional<std::string> TempoFromSamplesText(std::string_view rateText,
                                                std::string_view samplesText, char separator) {
  return detail::OverTexts(rateText, samplesText, separator, TempoFromSamples);
}

std::optional<std::string> LengthSecondsText(std::string_view samplesText,
                                             std::string_view rateText, char separator) {
  return detail::OverTexts(samplesText, rateText, separator, LengthSeconds);
}

std::optional<std::string> DoubleSamplesText(std::string_view samplesText, char separator) {
  return ScaleText(samplesText, separator, [](double samples) { return samples * 2.0; });
}

std::optional<std::string> HalveSamplesText(std::string_view samplesText, char separator) {
  return ScaleText(samplesText, separator, [](double samples) { return samples / 2.0; });
}

}  // namespace calc
