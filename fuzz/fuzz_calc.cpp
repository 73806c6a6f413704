// Feeds arbitrary bytes to the text conversions, the box fitting and the delay
// table. The first byte picks the separator and a box length; the rest is the
// text. Besides "no crash", it checks the properties the window relies on:
// every number text reads back to the value rounded to 15 digits, a fitted
// text fits and reads back, no delay slot ever exceeds its box, a rounded
// text reads back within half its last decimal, the copied table is always
// the same grid, stepped tempos move the step's way, tapped and clock tempos
// are numbers, and a reference pitch or a bar entry is read and written back.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "calc/bars.h"
#include "calc/beat.h"
#include "calc/clock_estimator.h"
#include "calc/delay_extras.h"
#include "calc/delay_table.h"
#include "calc/note.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"
#include "calc/tempo_tools.h"

namespace {

void Check(bool condition, const char* what, std::string_view input) {
  if (condition) return;
  std::fprintf(stderr, "property broken: %s for input [%.*s]\n", what,
               static_cast<int>(input.size()), input.data());
  std::abort();
}

// The value rounded to 15 significant digits, by the C library's route.
double RoundedTo15(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  return std::strtod(buffer, nullptr);
}

// The C library's "%.15G" text with the given separator; "0" for zero.
std::string Reference15G(double value, char separator) {
  if (value == 0.0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text(buffer);
  for (char& c : text) {
    if (c == '.') c = separator;
  }
  return text;
}

void CheckNumber(double value, char separator, std::string_view input) {
  const auto text = calc::NumberToText(value, separator);
  if (std::isinf(RoundedTo15(value))) {
    // Only the largest doubles round past the double range at 15 digits.
    Check(!text.has_value(), "a value that rounds beyond the range is not written", input);
    return;
  }
  Check(text.has_value(), "a finite value is written", input);
  Check(*text == Reference15G(value, separator), "text equals %.15G", input);
  const auto back = calc::TextToNumber(*text, separator);
  Check(back.has_value(), "a written text reads back", input);
  Check(*back == RoundedTo15(value), "read back equals the value rounded to 15 digits", input);
  Check(calc::NumberToText(*back, separator) == text, "writing is idempotent", input);

  for (std::size_t length = 1; length <= 20; ++length) {
    const auto fitted = calc::FitToBox(*text, length, separator);
    if (!fitted) {
      Check(text->size() > length, "a text that fits is never refused", input);
      continue;
    }
    Check(fitted->size() <= length, "a fitted text fits", input);
    const auto shown = calc::TextToNumber(*fitted, separator);
    Check(shown.has_value(), "a fitted number reads back", input);
    if (length < 6 || *back == 0.0 || *shown == 0.0) continue;
    // Cut, never rounded, and never wrong by a power of ten.
    Check(std::fabs(*shown) <= std::fabs(*back), "a fit never rounds up", input);
    Check(std::fabs(*shown) > std::fabs(*back) / 10.0, "a fit keeps the magnitude", input);
    Check(std::signbit(*shown) == std::signbit(*back), "a fit keeps the sign", input);
  }
}

void CheckRounded(double value, int decimals, char separator, std::string_view input) {
  const auto text = calc::RoundedText(value, decimals, separator);
  if (!text) {
    Check(!calc::NumberToText(value, separator), "only what NumberToText refuses has no text",
          input);
    return;
  }
  const auto back = calc::TextToNumber(*text, separator);
  Check(back.has_value(), "a rounded text reads back", input);
  Check(calc::RoundedText(*back, decimals, separator) == text, "rounding is idempotent", input);
  if (std::fabs(value) < 1e15) {
    const double half = 0.5 * std::pow(10.0, -decimals);
    Check(std::fabs(*back - value) <= half * (1.0 + 1e-9) + std::fabs(value) * 1e-14,
          "a rounded text is within half its last decimal", input);
  }
}

// The table text has a header, a column line and 12 rows of 10 cells.
void CheckTableGrid(const std::string& table, std::string_view input) {
  int lines = 0;
  std::size_t start = 0;
  for (std::size_t end = table.find('\n'); end != std::string::npos;
       start = end + 1, end = table.find('\n', start)) {
    const std::string_view line(table.data() + start, end - start);
    std::size_t tabs = 0;
    for (const char c : line) tabs += c == '\t' ? 1 : 0;
    Check(tabs == (lines == 0 ? 1u : 9u), "every table line has its cells", input);
    ++lines;
  }
  Check(lines == 14 && start == table.size(), "the table has 14 whole lines", input);
}

void CheckExtras(std::string_view text, char separator, int decimals, int slot,
                 std::string_view input) {
  const auto number = calc::TextToNumber(text, separator);
  const auto positive = calc::TextToPositiveNumber(text, separator);
  Check(positive == (number && *number > 0.0 ? number : std::nullopt),
        "a positive number is a number above zero", input);
  if (number) CheckRounded(*number, decimals, separator, input);

  if (const auto table = calc::DelayTableText(text, "44100", separator)) {
    Check(positive.has_value(), "a table needs a positive tempo", input);
    CheckTableGrid(*table, input);
  } else {
    Check(!positive || !calc::NumberToText(*positive, separator), "a positive tempo gives a table",
          input);
  }
  const auto withRate = calc::DelayTableText("120", text, separator);
  Check(withRate.has_value(), "any rate text gives a table", input);
  CheckTableGrid(*withRate, input);

  const calc::DelayBoxEntries entries =
      calc::ComputeDelayBoxEntries(slot, text, "44100", separator);
  for (const auto* entry :
       {&entries.milliseconds, &entries.triplet, &entries.hertz, &entries.samples}) {
    if (*entry) Check(calc::TextToNumber(**entry, separator).has_value(), "an entry reads", input);
  }

  for (const calc::TempoStep step : {calc::TempoStep::Up, calc::TempoStep::PageDown,
                                     calc::TempoStep::Halve, calc::TempoStep::Double}) {
    const auto stepped = calc::StepTempoText(text, step, separator);
    const auto inBox = calc::StepTempoInBox(text, step, separator, 6);
    Check(inBox.has_value() == calc::StepChangesTempo(text, step, separator, 6),
          "a step changes the tempo when it gives a box text", input);
    if (!stepped) {
      Check(!inBox, "a step that fails writes nothing", input);
      continue;
    }
    Check(number.has_value(), "only a number is stepped", input);
    const auto back = calc::TextToNumber(*stepped, separator);
    Check(back.has_value(), "a stepped tempo reads back", input);
    const double noise = std::fabs(*number) * 1e-14;  // of writing 15 digits
    switch (step) {
      case calc::TempoStep::Up:
        Check(*back >= 1.0 && *back >= *number - noise, "Up never goes down", input);
        break;
      case calc::TempoStep::PageDown:
        Check(*back <= *number + noise, "Page Down never goes up", input);
        Check(*number < 1.0 || *back >= 1.0 - 1e-14, "Page Down stops at 1", input);
        break;
      default:
        Check(*number > 0.0 && *back > 0.0, "Halve and Double keep a tempo positive", input);
        break;
    }
    if (inBox) {
      Check(inBox->size() <= 6, "a stepped text fits the box", input);
      const auto shown = calc::TextToNumber(*inBox, separator);
      Check(shown && *shown != *number, "a step in the box moves the tempo", input);
    }
  }

  const calc::PitchReading pitch = calc::ReadReferencePitch(text, separator);
  Check(pitch.hertz.has_value() != pitch.problem.has_value(), "a pitch reads or says why", input);
  if (pitch.hertz) {
    Check(calc::IsReferencePitch(*pitch.hertz), "a read pitch is a choosable one", input);
    const auto written = calc::ReferencePitchText(*pitch.hertz, separator);
    Check(written && calc::ReadReferencePitch(*written, separator).hertz == pitch.hertz,
          "a pitch text reads back as itself", input);
  }

  const int bars = calc::kBarCounts[static_cast<std::size_t>(slot) % calc::kBarCounts.size()];
  for (const calc::BarEntry& entry : {calc::LoopTempoEntry(text, "44100", bars, separator),
                                      calc::BarSamplesEntry(text, "44100", bars, separator),
                                      calc::BarSecondsEntry(text, bars, separator),
                                      calc::LoopTempoEntry("352800", text, bars, separator)}) {
    Check(entry.value.has_value() != entry.problem.has_value(),
          "a bar entry has a value or a reason", input);
    if (entry.value) {
      const auto value = calc::TextToNumber(*entry.value, separator);
      Check(value && *value > 0.0, "a bar value is a positive number", input);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char separator = (data[0] & 1) ? ',' : '.';
  const std::size_t boxLength = (data[0] >> 1) % 16;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  if (const auto number = calc::TextToNumber(text, separator)) {
    Check(std::isfinite(*number), "a read number is finite", text);
    CheckNumber(*number, separator, text);
    Check(calc::TextToInteger(text, separator) == calc::RoundToInt32(*number),
          "TextToInteger rounds the read number", text);
  } else {
    Check(!calc::TextToInteger(text, separator), "TextToInteger fails with TextToNumber", text);
  }
  const int decimals = (data[0] >> 5) % (calc::kMaxRoundedDecimals + 1);
  if (size >= 9) {
    double raw;
    std::memcpy(&raw, data + 1, sizeof raw);
    if (std::isfinite(raw)) CheckNumber(raw, separator, text);
    CheckRounded(raw, decimals, separator, text);
  }
  CheckExtras(text, separator, decimals, static_cast<int>(boxLength) + (data[0] & 8), text);

  // The bytes as tap timestamps, eight at a time.
  calc::TapTempo tapper;
  for (std::size_t at = 1; at + sizeof(double) <= size; at += sizeof(double)) {
    double ms;
    std::memcpy(&ms, data + at, sizeof ms);
    const calc::TapState state = tapper.Tap(ms);
    Check(state.taps >= 0, "a tap count is never negative", text);
    if (state.tempo) {
      Check(std::isfinite(*state.tempo) && *state.tempo > 0.0, "a tapped tempo is positive", text);
      Check(calc::TapTempoText(state, separator).has_value() ||
                !calc::NumberToText(*state.tempo, separator),
            "a tapped tempo is written", text);
      Check(calc::TapStatusText(state, separator).has_value() ==
                calc::TapTempoText(state, separator).has_value(),
            "a written tempo has a status line", text);
    }
    if (state.standardError) {
      Check(state.tempo && std::isfinite(*state.standardError) && *state.standardError >= 0.0,
            "a standard error is a finite spread of a tempo", text);
    }
    Check(state.fittedTaps <= state.taps || state.taps == 0, "the fit uses taps of the series",
          text);
  }

  // The bytes as MIDI clock ticks, two at a time: frames since the last tick,
  // from a counter far beyond 32 bits.
  const double sampleRate = (data[0] & 16) ? 44100.0 : 48000.0;
  calc::ClockTempoEstimator clock(sampleRate);
  std::uint64_t frame = std::uint64_t{1} << 40;
  for (std::size_t at = 1; at + 2 <= size; at += 2) {
    frame += static_cast<std::uint64_t>(data[at]) << (data[at + 1] & 15);
    if ((data[at + 1] & 0xF0) == 0xF0) {
      clock.Reset();
      continue;
    }
    clock.Tick(frame);
    Check(!clock.Stopped(frame), "a clock that just ticked is running", text);
    Check(
        clock.Stopped(
            frame +
            static_cast<std::uint64_t>(calc::ClockTempoEstimator::kMaxGapSeconds * sampleRate) + 1),
        "a silent clock is stopped", text);
    if (const auto tempo = clock.Tempo()) {
      Check(std::isfinite(*tempo) && *tempo > 0.0, "a clock tempo is positive", text);
    }
  }

  if (const auto fitted = calc::FitToBox(text, boxLength, separator)) {
    Check(fitted->size() <= boxLength, "a fitted text fits its box", text);
    if (text.size() <= boxLength) Check(*fitted == text, "a text that fits is kept", text);
  }
  (void)calc::TextToSingle(text, separator);
  (void)calc::TextToFlag(text, separator);
  (void)calc::SamplesPerBeatText("44100", text, separator);

  calc::DelayTexts previous;
  previous.fill("0");
  const calc::DelayTexts table = calc::ComputeDelayTable(text, previous, separator);
  for (const std::string& slot : table) {
    Check(slot.size() <= calc::kSlotLength, "a delay slot fits its box", text);
    Check(calc::TextToNumber(slot, separator).has_value(), "a delay slot is a number", text);
  }
  return 0;
}
