// audio_tempo_pattern (test support, also used by bench/audio_tempo): writes a drum pattern at a
// known tempo from real drum hits (a kit folder of hydrogen-drumkits), for the tempo tests and the
// benchmark's own material. Kick, snare and hi-hat in 4/4, optionally with
// swung eighths and a snare fill every fourth bar; or white noise or silence.
//
//   audio_tempo_pattern OUT KIT BPM BARS [key=value]...
//     rate=44100 channels=2 swing=0 (0 to 0.33 of a beat) fills=0
//     seconds=S (cut at S instead of the bars' exact length) kind=drums|noise|silence
//     format=wav|flac|ogg
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<float> LoadMono(const std::string& path, int rate) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    std::fprintf(stderr, "audio_tempo_pattern: %s: %s\n", path.c_str(), sf_strerror(nullptr));
    std::exit(1);
  }
  std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  std::vector<float> mono(static_cast<std::size_t>(info.frames));
  for (std::size_t i = 0; i < mono.size(); ++i) {
    for (int c = 0; c < info.channels; ++c) {
      mono[i] += frames[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
    }
  }
  // Linear resampling is enough for hits placed in time.
  const double ratio = static_cast<double>(info.samplerate) / rate;
  std::vector<float> out(static_cast<std::size_t>(static_cast<double>(mono.size()) / ratio));
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double at = static_cast<double>(i) * ratio;
    const auto k = static_cast<std::size_t>(at);
    const double f = at - static_cast<double>(k);
    const float next = k + 1 < mono.size() ? mono[k + 1] : 0.0f;
    out[i] = static_cast<float>((1 - f) * mono[k] + f * next);
  }
  return out;
}

void Add(std::vector<float>& track, const std::vector<float>& hit, double at, float gain) {
  const auto start = static_cast<std::size_t>(std::llround(at));
  for (std::size_t i = 0; i < hit.size() && start + i < track.size(); ++i) {
    track[start + i] += gain * hit[i];
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: audio_tempo_pattern OUT KIT BPM BARS [key=value]...\n");
    return 2;
  }
  const std::string out = argv[1], kit = argv[2];
  const double bpm = std::atof(argv[3]);
  const int bars = std::atoi(argv[4]);
  std::map<std::string, std::string> options = {
      {"rate", "44100"}, {"channels", "2"}, {"swing", "0"},   {"fills", "0"},
      {"seconds", ""},   {"kind", "drums"}, {"format", "wav"}};
  for (int i = 5; i < argc; ++i) {
    const std::string option = argv[i];
    const auto equals = option.find('=');
    if (equals == std::string::npos || !options.count(option.substr(0, equals))) {
      std::fprintf(stderr, "audio_tempo_pattern: unknown option '%s'\n", argv[i]);
      return 2;
    }
    options[option.substr(0, equals)] = option.substr(equals + 1);
  }
  const int rate = std::atoi(options["rate"].c_str());
  const int channels = std::atoi(options["channels"].c_str());
  const double swing = std::atof(options["swing"].c_str());
  const bool fills = options["fills"] == "1";
  const double beat = 60.0 * rate / bpm;
  const double exact = std::round(beat * 4 * bars);
  const double length =
      options["seconds"].empty() ? exact : std::atof(options["seconds"].c_str()) * rate;
  std::vector<float> track(static_cast<std::size_t>(std::max(1.0, length)));

  if (options["kind"] == "noise") {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    for (float& sample : track) sample = uniform(random);
  } else if (options["kind"] == "drums") {
    const auto kick = LoadMono(kit + "/Kick-Hard.wav", rate);
    const auto snare = LoadMono(kit + "/Snare-Hard.wav", rate);
    const auto softSnare = LoadMono(kit + "/Snare-Soft.wav", rate);
    const auto hat = LoadMono(kit + "/HatClosed-Med.wav", rate);
    const int totalBars = static_cast<int>(std::ceil(length / (beat * 4)));
    for (int bar = 0; bar < totalBars; ++bar) {
      const double start = bar * 4 * beat;
      const bool fill = fills && bar % 4 == 3;
      for (int eighth = 0; eighth < 8; ++eighth) {
        const double at = start + eighth * beat / 2 + (eighth % 2 ? swing * beat : 0.0);
        Add(track, hat, at, eighth % 2 ? 0.4f : 0.6f);
      }
      Add(track, kick, start, 0.9f);
      Add(track, kick, start + 2 * beat, 0.9f);
      if (bar % 2 == 1) Add(track, kick, start + 2.5 * beat + swing * beat, 0.7f);
      Add(track, snare, start + beat, 0.8f);
      if (fill) {
        for (int sixteenth = 0; sixteenth < 8; ++sixteenth) {
          Add(track, softSnare, start + 2 * beat + sixteenth * beat / 4, 0.5f);
        }
      } else {
        Add(track, snare, start + 3 * beat, 0.8f);
      }
    }
  }

  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = channels;
  const std::string format = options["format"];
  info.format = format == "flac"  ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16
                : format == "ogg" ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                                  : SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(out.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "audio_tempo_pattern: %s: %s\n", out.c_str(), sf_strerror(nullptr));
    return 1;
  }
  std::vector<float> frames(track.size() * static_cast<std::size_t>(channels));
  for (std::size_t i = 0; i < track.size(); ++i) {
    for (int c = 0; c < channels; ++c)
      frames[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
          0.5f * track[i];
  }
  const auto written = sf_writef_float(file, frames.data(), static_cast<sf_count_t>(track.size()));
  const bool ok = written == static_cast<sf_count_t>(track.size()) && sf_close(file) == 0;
  if (!ok) std::fprintf(stderr, "audio_tempo_pattern: %s: could not write\n", out.c_str());
  return ok ? 0 : 1;
}
