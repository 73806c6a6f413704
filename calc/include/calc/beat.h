// The beat calculator: samples per beat, loop tempo and loop length. Each
// formula is evaluated left to right as written (the multiplication by 120
// comes before the division); a zero divisor or a result beyond the double
// range fails.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calc {

std::optional<double> SamplesPerBeat(double rate, double tempo);      // rate * 120 / tempo
std::optional<double> TempoFromSamples(double rate, double samples);  // rate * 120 / samples
std::optional<double> LengthSeconds(double samples, double rate);     // samples / rate

// The same formulas over control texts; the result is the full text of the
// number, before any box cuts it.
std::optional<std::string> SamplesPerBeatText(std::string_view rateText, std::string_view tempoText,
                                              char separator);
std::optional<std::string> TempoFromSamplesText(std::string_view rateText,
                                                std::string_view samplesText, char separator);
std::optional<std::string> LengthSecondsText(std::string_view samplesText,
                                             std::string_view rateText, char separator);
std::optional<std::string> DoubleSamplesText(std::string_view samplesText, char separator);
std::optional<std::string> HalveSamplesText(std::string_view samplesText, char separator);

}  // namespace calc
