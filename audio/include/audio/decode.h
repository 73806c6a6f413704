// Reading an audio file as a stream of mono samples with libsndfile: the
// channels of each frame are averaged, and only one block is held at a time,
// so the memory used does not grow with the file's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <variant>

namespace audio {

// What the file says of itself once it is open.
struct StreamInfo {
  int rate = 0;  // frames per second
  int channels = 0;
  std::int64_t frames = -1;  // -1: not known before the end (streamed formats)
};

// Rates and channel counts taken; anything else is refused before decoding.
inline constexpr int kMinRate = 1000;
inline constexpr int kMaxRate = 768000;
inline constexpr int kMaxChannels = 64;

// Given each block of mono samples in order; false stops the reading.
using MonoSink = std::function<bool(std::span<const float>)>;

// An open file or memory stream, read once from start to end.
class MonoReader {
 public:
  // Opens the file at `path` without blocking (a FIFO or a device is refused,
  // never waited on); on failure `error()` says why in a few words.
  static MonoReader OpenFile(const std::string& path);
  // Reads from `bytes`, which must outlive the reader (the fuzzing entry).
  static MonoReader OpenMemory(std::span<const std::byte> bytes);

  MonoReader(MonoReader&& other) noexcept;
  MonoReader& operator=(MonoReader&&) = delete;
  MonoReader(const MonoReader&) = delete;
  ~MonoReader();

  bool ok() const { return file_ != nullptr; }
  const std::string& error() const { return error_; }
  const StreamInfo& info() const { return info_; }

  // Decodes to the end, block by block; the frames read, or -1 with `error()`
  // set when the decoder fails part way.
  std::int64_t Read(const MonoSink& sink);

 private:
  struct Memory {
    std::span<const std::byte> bytes;
    std::int64_t position = 0;
  };
  MonoReader() = default;
  void Check();

  void* file_ = nullptr;  // SNDFILE*
  StreamInfo info_;
  std::string error_;
  std::unique_ptr<Memory> memory_;
};

}  // namespace audio
