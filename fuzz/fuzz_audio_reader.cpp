// libFuzzer target: the audio file reader (libsndfile through its virtual
// I/O), opened and decoded to mono from arbitrary bytes, as a hostile file
// would be by tempiva-analyse.
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  audio::MonoReader reader =
      audio::MonoReader::OpenMemory(std::as_bytes(std::span<const std::uint8_t>(data, size)));
  if (!reader.ok()) return 0;
  // Bounded however many frames the header claims.
  constexpr std::int64_t kMostFrames = 1 << 20;
  std::int64_t seen = 0;
  float sum = 0.0f;
  reader.Read([&](std::span<const float> mono) {
    for (float sample : mono) sum += sample;
    seen += static_cast<std::int64_t>(mono.size());
    return seen < kMostFrames;
  });
  return sum == 12345.0f ? 1 : 0;  // keeps the decoded samples in use
}
