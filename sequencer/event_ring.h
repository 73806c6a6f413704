// A lock-free ring for one writer thread and one reader thread: the JACK
// process callback writes, the GUI thread reads. Neither side locks,
// allocates or waits; a full ring refuses the event and the writer counts it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace sequencer {

// What the process callback hands over from the MIDI input.
struct MidiEvent {
  enum class Kind : std::uint8_t { ClockTick, Start, Continue, Stop, NoteOn };
  std::uint64_t frame = 0;  // the event's time on the link's own 64-bit frame counter
  Kind kind = Kind::ClockTick;
};

// Sorts one JACK MIDI event; nothing for the messages the link does not use
// and for any that is not well formed: a real-time message is one byte (`F8 00`
// is no tick), a note-on exactly three bytes with data bytes below 0x80 and a
// velocity (velocity 0 is a note-off).
inline std::optional<MidiEvent::Kind> ClassifyMidi(const unsigned char* bytes, std::size_t size) {
  if (size == 0 || !bytes) return std::nullopt;
  if (size == 1) {
    switch (bytes[0]) {
      case 0xF8:
        return MidiEvent::Kind::ClockTick;
      case 0xFA:
        return MidiEvent::Kind::Start;
      case 0xFB:
        return MidiEvent::Kind::Continue;
      case 0xFC:
        return MidiEvent::Kind::Stop;
      default:
        return std::nullopt;
    }
  }
  if (size == 3 && (bytes[0] & 0xF0) == 0x90 && bytes[1] < 0x80 && bytes[2] < 0x80 && bytes[2] > 0)
    return MidiEvent::Kind::NoteOn;
  return std::nullopt;
}

template <typename T, std::size_t Capacity>
class SpscRing {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "a power of two");

 public:
  // Writer side. False when the ring is full (the item is not stored).
  bool Push(const T& item) noexcept {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) == Capacity) return false;
    items_[head & (Capacity - 1)] = item;
    head_.store(head + 1, std::memory_order_release);  // publishes the item
    return true;
  }

  // Reader side. Nothing when the ring is empty.
  std::optional<T> Pop() noexcept {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return std::nullopt;
    T item = items_[tail & (Capacity - 1)];
    tail_.store(tail + 1, std::memory_order_release);  // frees the slot for the writer
    return item;
  }

 private:
  // Each index on its own cache line: the two threads never share one.
  alignas(64) std::atomic<std::size_t> head_{0};  // next slot the writer fills
  alignas(64) std::atomic<std::size_t> tail_{0};  // next slot the reader takes
  alignas(64) std::array<T, Capacity> items_{};
};

}  // namespace sequencer
