// tempiva-analyse: the tempo of audio files, in a process of its own so that
// the calculator links no audio library and a decoder's crash stays here.
//
//   tempiva-analyse FILE            lines for the window, one fact a line:
//     info<TAB>rate<TAB>channels<TAB>frames (-1: not known yet)
//     progress<TAB>permille
//     tempo<TAB>bpm<TAB>confidence<TAB>bars (0: no loop)<TAB>loop bpm<TAB>frames
//     error<TAB>reason
//   tempiva-analyse --table FILE... one line a file, tab-separated: path,
//     tempo, bars of a loop (else empty), seconds, rate, frames; a failure on
//     standard error as "NAME: FILE: reason" (NAME: this program's argv[0]).
//
// Exit status: 0 when every file was analysed, 1 when one failed, 2 for a
// usage error.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/decode.h"
#include "audio/tempo.h"

namespace {

struct Analysed {
  audio::StreamInfo info;
  std::int64_t frames = 0;
  audio::Detection detection;
  std::optional<audio::Loop> loop;
};

// The tempo of the file at `path`, or why there is none; `progress` is told
// the permille read, when the length is known.
template <typename Progress>
std::variant<Analysed, std::string> Analyse(
    const std::string& path, const Progress& progress,
    const std::function<void(const audio::StreamInfo&)>& opened) {
  audio::MonoReader reader = audio::MonoReader::OpenFile(path);
  if (!reader.ok()) return reader.error();
  Analysed result;
  result.info = reader.info();
  opened(result.info);
  audio::TempoAnalyser analyser(result.info.rate);
  int shown = -1;
  const std::int64_t frames = reader.Read([&](std::span<const float> mono) {
    analyser.Feed(mono);
    if (result.info.frames > 0) {
      const auto permille = static_cast<int>(analyser.frames() * 1000 / result.info.frames);
      if (permille != shown) progress(shown = std::min(permille, 1000));
    } else if (analyser.frames() / (10 * result.info.rate) != shown) {
      // A length not known before the end: a sign of life every 10 s of audio.
      shown = static_cast<int>(analyser.frames() / (10 * result.info.rate));
      progress(-1);
    }
    return true;
  });
  if (frames < 0) return reader.error();
  if (frames == 0) return std::string("no audio in the file");
  result.frames = frames;
  auto detection = analyser.Finish();
  if (auto* reason = std::get_if<std::string>(&detection)) return *reason;
  result.detection = std::get<audio::Detection>(detection);
  result.loop = audio::ExactLoop(frames, result.info.rate, result.detection.bpm);
  return result;
}

bool Flush() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

int Lines(const std::string& path) {
  const auto outcome = Analyse(
      path, [](int permille) { std::printf("progress\t%d\n", permille), Flush(); },
      [](const audio::StreamInfo& info) {
        std::printf("info\t%d\t%d\t%" PRId64 "\n", info.rate, info.channels, info.frames);
        Flush();
      });
  if (const auto* reason = std::get_if<std::string>(&outcome)) {
    std::printf("error\t%s\n", reason->c_str());
    Flush();
    return 1;
  }
  const Analysed& a = std::get<Analysed>(outcome);
  std::printf("tempo\t%.6f\t%.3f\t%d\t%.6f\t%" PRId64 "\n", a.detection.bpm, a.detection.confidence,
              a.loop ? a.loop->bars : 0, a.loop ? a.loop->bpm : 0.0, a.frames);
  return Flush() ? 0 : 1;
}

int Table(const char* name, const std::vector<std::string>& paths) {
  int status = 0;
  for (const std::string& path : paths) {
    const auto outcome = Analyse(
        path, [](int) {}, [](const audio::StreamInfo&) {});
    if (const auto* reason = std::get_if<std::string>(&outcome)) {
      std::fprintf(stderr, "%s: %s: %s\n", name, path.c_str(), reason->c_str());
      status = 1;
      continue;
    }
    const Analysed& a = std::get<Analysed>(outcome);
    const std::string bars = a.loop ? std::to_string(a.loop->bars) : std::string();
    std::printf("%s\t%.2f\t%s\t%.3f\t%d\t%" PRId64 "\n", path.c_str(),
                a.loop ? a.loop->bpm : a.detection.bpm, bars.c_str(),
                static_cast<double>(a.frames) / a.info.rate, a.info.rate, a.frames);
    if (!Flush()) return 1;
  }
  return status;
}

}  // namespace

int main(int argc, char* argv[]) {
  const char* name = argc > 0 && argv[0][0] ? argv[0] : "tempiva-analyse";
  if (const char* slash = std::strrchr(name, '/')) name = slash + 1;
  std::vector<std::string> arguments(argv + std::min(argc, 1), argv + std::max(argc, 0));
  const bool table = !arguments.empty() && arguments.front() == "--table";
  if (table) arguments.erase(arguments.begin());
  if (!arguments.empty() && arguments.front() == "--") arguments.erase(arguments.begin());
  if (arguments.empty() || (!table && arguments.size() != 1)) {
    std::fprintf(stderr, "%s: %s\n", name,
                 table ? "--detect-tempo needs at least one file" : "usage: tempiva-analyse FILE");
    return 2;
  }
  return table ? Table(name, arguments) : Lines(arguments.front());
}
