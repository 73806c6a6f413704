#include "audio/tempo.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "calc/bars.h"
#include "calc/line_fit.h"
#include "calc/tempo_range.h"
// The library's headers say `using namespace std`: included here only.
#include "dsp/onsets/DetectionFunction.h"
#include "dsp/tempotracking/TempoTrackV2.h"

namespace audio {
namespace {

// The detection function's rate the tracker's fixed windows are made for:
// a step of 512 at 44.1 kHz.
constexpr double kFunctionRate = 44100.0 / 512.0;
// A file shorter than this is repeated up to it before tracking: a loop
// plays over and over, and the tracker needs several seconds.
constexpr double kShortSeconds = 20.0;
constexpr double kMinSeconds = 1.0;
constexpr double kLoopPlays = 3;
constexpr std::size_t kDroppedValues = 2;  // the function's first values carry no onsets
constexpr double kRefinedReach = 0.02;     // of the beats' period

unsigned StepFor(int rate) {
  const double ideal = rate / kFunctionRate;
  unsigned step = 16;
  while (step * 2 <= ideal * std::sqrt(2.0)) step *= 2;
  return step;
}

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The normalised autocorrelation of `values` at the fractional `lag`.
double Autocorrelation(const std::vector<double>& values, double lag) {
  const double mean =
      std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
  double energy = 0.0;
  for (double v : values) energy += (v - mean) * (v - mean);
  if (!(energy > 0.0)) return 0.0;
  const auto whole = static_cast<std::size_t>(lag);
  const double part = lag - static_cast<double>(whole);
  if (whole + 1 >= values.size()) return 0.0;
  // Per pair of values, so that a longer lag, with fewer pairs, is not made smaller.
  double sum = 0.0;
  const std::size_t pairs = values.size() - whole - 1;
  for (std::size_t i = 0; i < pairs; ++i) {
    const double later = (1.0 - part) * values[i + whole] + part * values[i + whole + 1];
    sum += (values[i] - mean) * (later - mean);
  }
  return (sum / static_cast<double>(pairs)) / (energy / static_cast<double>(values.size()));
}

// The autocorrelation's peak near `lag`, within `reach` values, to a fraction
// of a value (a parabola through the highest value and its neighbours).
double PeakNear(const std::vector<double>& values, double lag, double reach) {
  const auto first = static_cast<std::size_t>(std::max(1.0, std::floor(lag - reach)));
  const auto last = static_cast<std::size_t>(std::ceil(lag + reach));
  std::vector<double> heights;
  for (std::size_t at = first - 1; at <= last + 1; ++at) {
    heights.push_back(Autocorrelation(values, static_cast<double>(at)));
  }
  std::size_t best = 1;
  for (std::size_t i = 1; i + 1 < heights.size(); ++i) {
    if (heights[i] > heights[best]) best = i;
  }
  const double left = heights[best - 1], middle = heights[best], right = heights[best + 1];
  const double curve = left - 2 * middle + right;
  const double shift = curve < 0 ? std::clamp(0.5 * (left - right) / curve, -0.5, 0.5) : 0.0;
  return static_cast<double>(first + best - 1) + shift;
}

// The beat period refined over the whole function: the autocorrelation's peaks
// at 1, 2, 4, ... periods, each found near the period the shorter ones give,
// so that the error of one peak is divided by the number of periods it spans.
// For a steady tempo this is far finer than the tracked beats' line.
double RefinePeriod(const std::vector<double>& values, double period) {
  const double longest = static_cast<double>(values.size()) / 2;
  for (int periods = 1; periods * period <= longest && periods <= 256; periods *= 2) {
    const double lag = periods * period;
    const double reach = periods == 1 ? 0.1 * period : 2.0;
    period = PeakNear(values, lag, reach) / periods;
  }
  return period;
}

}  // namespace

std::optional<Loop> ExactLoop(std::int64_t frames, int rate, double detectedBpm) {
  if (frames <= 0 || rate <= 0 || !(detectedBpm > 0.0)) return std::nullopt;
  const double beatsAtDetected =
      static_cast<double>(frames) * detectedBpm / (calc::kSecondsPerMinute * rate);
  std::optional<Loop> best;
  for (int bars = 1; bars <= kMaxLoopBars; ++bars) {
    const auto bpm = calc::TempoFromBars(static_cast<double>(frames), rate, bars);
    if (!bpm || !calc::IsSourceTempo(*bpm)) continue;
    const double off = std::abs(*bpm / detectedBpm - 1.0);
    const double beatsOff = std::abs(beatsAtDetected - calc::kBeatsPerBar * bars);
    if (off > kLoopTolerance || beatsOff > kLoopBeatTolerance) continue;
    if (!best || std::abs(*bpm - detectedBpm) < std::abs(best->bpm - detectedBpm)) {
      best = Loop{bars, *bpm};
    }
  }
  return best;
}

std::optional<BeatLine> FitBeatLine(const std::vector<double>& beats) {
  if (beats.size() < 4) return std::nullopt;
  // Over four beats, so that beats alternately early and late (swing, a
  // drummer's push) do not make the first guess one of two intervals.
  constexpr std::size_t kSpan = 4;
  std::vector<double> intervals;
  for (std::size_t i = kSpan; i < beats.size(); ++i) {
    intervals.push_back((beats[i] - beats[i - kSpan]) / kSpan);
  }
  double period = Median(intervals);
  if (!(period > 0.0)) return std::nullopt;
  std::vector<bool> kept(beats.size(), true);
  double origin = beats.front();
  int used = 0;
  for (int round = 0; round < 5; ++round) {
    // Least squares of time on number.
    calc::LineFit fit;
    std::vector<double> numbers(beats.size());
    for (std::size_t i = 0; i < beats.size(); ++i) {
      numbers[i] = std::round((beats[i] - origin) / period);
      if (kept[i]) fit.Add(numbers[i], beats[i]);
    }
    if (fit.Count() < 4) return std::nullopt;
    const std::optional<double> slope = fit.Slope();
    if (!slope || !(*slope > 0.0)) return std::nullopt;
    period = *slope;
    origin = fit.Intercept();
    used = 0;
    for (std::size_t i = 0; i < beats.size(); ++i) {
      const double residual = beats[i] - (origin + period * numbers[i]);
      kept[i] = std::abs(residual) <= 0.15 * period;
      used += kept[i] ? 1 : 0;
    }
  }
  if (used < 4) return std::nullopt;
  return BeatLine{period, used};
}

TempoAnalyser::TempoAnalyser(int rate)
    : rate_(rate), step_(StepFor(rate)), frameLength_(2 * StepFor(rate)) {
  DFConfig config = {};
  config.stepSize = step_;
  config.frameLength = frameLength_;
  config.DFType = DF_COMPLEXSD;
  config.dbRise = 3.0;
  config.adaptiveWhitening = false;
  config.whiteningRelaxCoeff = -1;
  config.whiteningFloor = -1;
  function_ = std::make_unique<DetectionFunction>(config);
}

TempoAnalyser::~TempoAnalyser() = default;

std::size_t TempoAnalyser::HeldBytes() const {
  return values_.capacity() * sizeof(double) + head_.capacity() * sizeof(float) +
         pending_.capacity() * sizeof(double);
}

void TempoAnalyser::Push(std::span<const float> mono, std::vector<double>& values) {
  for (float sample : mono) {
    pending_.push_back(sample);
    if (pending_.size() == frameLength_) {
      values.push_back(function_->processTimeDomain(pending_.data()));
      pending_.erase(pending_.begin(), pending_.begin() + step_);
    }
  }
}

void TempoAnalyser::Feed(std::span<const float> mono) {
  const auto keep = static_cast<std::size_t>(kShortSeconds * rate_);
  if (head_.size() < keep) {
    const std::size_t n = std::min(keep - head_.size(), mono.size());
    head_.insert(head_.end(), mono.begin(), mono.begin() + static_cast<std::ptrdiff_t>(n));
  }
  frames_ += static_cast<std::int64_t>(mono.size());
  Push(mono, values_);
}

std::variant<Detection, std::string> TempoAnalyser::Finish() {
  const double seconds = static_cast<double>(frames_) / rate_;
  if (seconds < kMinSeconds) return std::string("too short to find a tempo");
  std::vector<double> once;  // a short file's function played once
  if (seconds < kShortSeconds) {
    // Played as a loop: the whole file again and again, through a fresh function.
    once.assign(
        values_.begin() + static_cast<std::ptrdiff_t>(std::min(kDroppedValues, values_.size())),
        values_.end());
    DFConfig config = {step_, frameLength_, DF_COMPLEXSD, 3.0, false, -1, -1};
    function_ = std::make_unique<DetectionFunction>(config);
    pending_.clear();
    values_.clear();
    // Three times at least, so that the autocorrelation reaches the whole loop.
    const double playing = std::max(kShortSeconds, kLoopPlays * seconds);
    for (double played = 0; played < playing; played += seconds) Push(head_, values_);
  }
  head_ = {};
  if (values_.size() <= kDroppedValues + 16) return std::string("too short to find a tempo");
  std::vector<double> function(values_.begin() + kDroppedValues, values_.end());
  const double peak = *std::max_element(function.begin(), function.end());
  if (!(peak > 1e-6)) return std::string("no tempo found (silence)");

  TempoTrackV2 tracker(static_cast<float>(rate_), step_);
  std::vector<double> periods(function.size());
  std::vector<double> tempi;
  tracker.calculateBeatPeriod(function, periods, tempi);
  std::vector<double> beats;
  tracker.calculateBeats(function, periods, beats);
  const auto line = FitBeatLine(beats);
  if (!line) return std::string("no tempo found");
  const double pulse =
      0.5 * (Autocorrelation(function, line->period) + Autocorrelation(function, 2 * line->period));
  const double regular = static_cast<double>(line->used) / static_cast<double>(beats.size());
  // A steady tempo's finer period, unless it is not near the tracked beats'
  // (the tempo changes, or the peaks lie elsewhere).
  const auto bpmOf = [&](const std::vector<double>& values) {
    const double refined = RefinePeriod(values, line->period);
    const double period =
        std::abs(refined / line->period - 1.0) <= kRefinedReach ? refined : line->period;
    return calc::kSecondsPerMinute * rate_ / (period * step_);
  };
  Detection detection;
  detection.bpm = bpmOf(function);
  // A short file played as a loop is seamless only when it is one: else its
  // tempo is the one it has played once.
  if (!once.empty() && !ExactLoop(frames_, rate_, detection.bpm) &&
      static_cast<double>(once.size()) >= 4 * line->period) {
    detection.bpm = bpmOf(once);
  }
  detection.confidence = std::clamp(pulse, 0.0, 1.0) * regular;
  detection.beats = line->used;
  if (detection.confidence < kMinConfidence || !calc::IsSourceTempo(detection.bpm)) {
    return std::string("no tempo found");
  }
  return detection;
}

}  // namespace audio
