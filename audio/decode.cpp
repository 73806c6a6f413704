#include "audio/decode.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace audio {
namespace {

SNDFILE* File(void* file) { return static_cast<SNDFILE*>(file); }

std::string OpenFailure() {
  std::string reason = sf_strerror(nullptr);
  while (!reason.empty() && (reason.back() == '.' || reason.back() == '\n')) reason.pop_back();
  return "not an audio file that can be read (" + reason + ")";
}

std::string SystemError(int error) {
  switch (error) {
    case ENOENT:
      return "no such file";
    case EACCES:
    case EPERM:
      return "permission denied";
    default:
      return std::strerror(error);
  }
}

// Whether libsndfile's log of the header says the audio chunk (WAV "data",
// AIFF "SSND") is longer than what the file holds: a file cut short, which
// would otherwise be read as a shorter one (and a loop's length be wrong).
bool CutShort(SNDFILE* file) {
  std::string log(16384, '\0');
  sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
  constexpr long long kSlackBytes = 4096;  // a sloppy writer's padding, not a cut
  std::size_t start = 0;
  while (start < log.size() && log[start] != '\0') {
    const std::size_t end = std::min(log.find('\n', start), log.size());
    const std::string line = log.substr(start, end - start);
    start = end + 1;
    long long declared = 0, held = 0;
    if ((line.starts_with("data :") || line.starts_with(" SSND :") || line.starts_with("SSND :")) &&
        std::sscanf(line.c_str() + line.find(':') + 1, "%lld (should be %lld)", &declared, &held) ==
            2 &&
        declared > held + kSlackBytes) {
      return true;
    }
  }
  return false;
}

}  // namespace

MonoReader MonoReader::OpenFile(const std::string& path) {
  MonoReader reader;
  // Non-blocking, so that a FIFO with no writer is refused below, not waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reader.error_ = SystemError(errno);
    return reader;
  }
  struct stat status = {};
  if (::fstat(fd, &status) != 0) {
    reader.error_ = SystemError(errno);
    ::close(fd);
    return reader;
  }
  if (S_ISDIR(status.st_mode) || !S_ISREG(status.st_mode) || status.st_size == 0) {
    reader.error_ = S_ISDIR(status.st_mode)    ? "a folder, not a file"
                    : !S_ISREG(status.st_mode) ? "not a regular file"
                                               : "the file is empty";
    ::close(fd);
    return reader;
  }
  SF_INFO info = {};
  reader.file_ = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (!reader.file_) {
    reader.error_ = OpenFailure();
    ::close(fd);  // not closed by libsndfile when the open fails
    return reader;
  }
  reader.info_ = {info.samplerate, info.channels, info.frames};
  reader.Check();
  return reader;
}

MonoReader MonoReader::OpenMemory(std::span<const std::byte> bytes) {
  MonoReader reader;
  reader.memory_ = std::make_unique<Memory>(Memory{bytes, 0});
  static SF_VIRTUAL_IO io = {
      [](void* data) -> sf_count_t {
        return static_cast<sf_count_t>(static_cast<Memory*>(data)->bytes.size());
      },
      [](sf_count_t offset, int whence, void* data) -> sf_count_t {
        auto* memory = static_cast<Memory*>(data);
        const auto size = static_cast<sf_count_t>(memory->bytes.size());
        const sf_count_t base = whence == SEEK_CUR   ? memory->position
                                : whence == SEEK_END ? size
                                                     : 0;
        const sf_count_t target = base + offset;
        if (target < 0 || target > size) return -1;
        memory->position = target;
        return target;
      },
      [](void* destination, sf_count_t count, void* data) -> sf_count_t {
        auto* memory = static_cast<Memory*>(data);
        const auto size = static_cast<sf_count_t>(memory->bytes.size());
        const sf_count_t n = std::clamp<sf_count_t>(size - memory->position, 0, count);
        std::memcpy(destination, memory->bytes.data() + memory->position,
                    static_cast<std::size_t>(n));
        memory->position += n;
        return n;
      },
      [](const void*, sf_count_t, void*) -> sf_count_t { return 0; },
      [](void* data) -> sf_count_t { return static_cast<Memory*>(data)->position; },
  };
  SF_INFO info = {};
  reader.file_ = sf_open_virtual(&io, SFM_READ, &info, reader.memory_.get());
  if (!reader.file_) {
    reader.error_ = OpenFailure();
    return reader;
  }
  reader.info_ = {info.samplerate, info.channels, info.frames};
  reader.Check();
  return reader;
}

void MonoReader::Check() {
  if (info_.channels < 1 || info_.channels > kMaxChannels) {
    error_ = "unsupported number of channels (" + std::to_string(info_.channels) + ")";
  } else if (info_.rate < kMinRate || info_.rate > kMaxRate) {
    error_ = "unsupported sample rate (" + std::to_string(info_.rate) + " Hz)";
  } else if (CutShort(File(file_))) {
    error_ = "the file is cut short (truncated)";
  } else {
    if (info_.frames == SF_COUNT_MAX || info_.frames < 0) info_.frames = -1;
    return;
  }
  sf_close(File(file_));
  file_ = nullptr;
}

MonoReader::MonoReader(MonoReader&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      info_(other.info_),
      error_(std::move(other.error_)),
      memory_(std::move(other.memory_)) {}

MonoReader::~MonoReader() {
  if (file_) sf_close(File(file_));
}

std::int64_t MonoReader::Read(const MonoSink& sink) {
  if (!file_) return -1;
  constexpr sf_count_t kBlockFrames = 4096;
  const auto channels = static_cast<std::size_t>(info_.channels);
  std::vector<float> interleaved(static_cast<std::size_t>(kBlockFrames) * channels);
  std::vector<float> mono(static_cast<std::size_t>(kBlockFrames));
  std::int64_t total = 0;
  for (;;) {
    const sf_count_t got = sf_readf_float(File(file_), interleaved.data(), kBlockFrames);
    if (got <= 0) break;
    const auto frames = static_cast<std::size_t>(got);
    const float scale = 1.0f / static_cast<float>(channels);
    for (std::size_t i = 0; i < frames; ++i) {
      float sum = 0.0f;
      for (std::size_t c = 0; c < channels; ++c) sum += interleaved[i * channels + c];
      mono[i] = sum * scale;
    }
    total += got;
    if (!sink(std::span<const float>(mono.data(), frames))) return total;
  }
  if (sf_error(File(file_)) != SF_ERR_NO_ERROR) {
    error_ =
        std::string("the file could not be decoded to its end (") + sf_strerror(File(file_)) + ")";
    return -1;
  }
  return total;
}

}  // namespace audio
