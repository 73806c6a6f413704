// The tempo of a stream of mono samples: an onset detection function (the
// Queen Mary DSP library's complex spectral difference), its beat tracker, and
// a least-squares line through the tracked beats. Only the detection function
// is kept (about 86 values a second), never the audio, except the first
// seconds of a short file, which a loop repeats.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

class DetectionFunction;

namespace audio {

struct Detection {
  double bpm = 0.0;         // the refined tempo
  double confidence = 0.0;  // 0 to 1: how regular the beats are and how strong their pulse
  int beats = 0;            // tracked beats the line goes through
};

// A file whose length is a whole number of 4/4 bars at a tempo near the
// detected one: that tempo, exact to the sample.
struct Loop {
  int bars = 0;
  double bpm = 0.0;
};

inline constexpr int kMaxLoopBars = 64;
inline constexpr double kLoopTolerance = 0.04;  // of the detected tempo
// At most this far, in beats, between the file's length in beats at the
// detected tempo and the loop's (15 ms at 120 BPM): past about 12 bars the 4%
// alone would find a whole number of bars in any file, and a song rendered
// with its last notes' tail is not a loop.
inline constexpr double kLoopBeatTolerance = 0.03;
// Below this confidence there is no tempo to offer.
inline constexpr double kMinConfidence = 0.15;

// The loop the file's length makes at a tempo close to `detectedBpm`: among
// 1 to 64 bars, within 4% and within 0.03 beats over the length, the one
// whose tempo is nearest; only tempos calc::IsSourceTempo takes.
std::optional<Loop> ExactLoop(std::int64_t frames, int rate, double detectedBpm);

// A least-squares line through beat times (any unit) numbered by the nearest
// whole number of median intervals, so that a missed or extra beat costs only
// its own information; beats far off the line are dropped and the line fitted
// again. The period in the beats' unit, or none for fewer than 4 beats.
struct BeatLine {
  double period = 0.0;
  int used = 0;  // the beats left on the line
};
std::optional<BeatLine> FitBeatLine(const std::vector<double>& beats);

class TempoAnalyser {
 public:
  explicit TempoAnalyser(int rate);
  ~TempoAnalyser();
  TempoAnalyser(const TempoAnalyser&) = delete;
  TempoAnalyser& operator=(const TempoAnalyser&) = delete;

  void Feed(std::span<const float> mono);
  // The tempo of everything fed, or why there is none.
  std::variant<Detection, std::string> Finish();

  std::int64_t frames() const { return frames_; }
  // The memory held now, in bytes (the detection function and the kept head).
  std::size_t HeldBytes() const;

 private:
  void Push(std::span<const float> mono, std::vector<double>& values);

  int rate_;
  unsigned step_;
  unsigned frameLength_;
  std::unique_ptr<DetectionFunction> function_;
  std::vector<double> pending_;  // samples not yet in a whole frame
  std::vector<double> values_;   // the detection function
  std::vector<float> head_;      // the first seconds, for a short file
  std::int64_t frames_ = 0;
};

}  // namespace audio
