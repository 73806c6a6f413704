// The ring from the process callback to the GUI thread, and which MIDI
// messages go into it.
#include "event_ring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "test_names.h"

namespace {

using sequencer::ClassifyMidi;
using sequencer::MidiEvent;
using sequencer::SpscRing;

TEST(SpscRingTest, FullRingRefusesAndKeepsOrder) {
  SpscRing<int, 4> ring;
  EXPECT_FALSE(ring.Pop().has_value());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.Push(i));
  EXPECT_FALSE(ring.Push(99));
  EXPECT_EQ(ring.Pop(), 0);
  EXPECT_TRUE(ring.Push(4));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(ring.Pop(), i);
  EXPECT_FALSE(ring.Pop().has_value());
}

// A writer and a reader on their own threads, through a small ring that
// wraps and runs full all the time: every item arrives once, in order.
TEST(SpscRingTest, TwoThreadsLoseNothingAndKeepOrder) {
  constexpr std::uint32_t kItems = 1'000'000;
  SpscRing<std::uint32_t, 8> ring;
  std::thread writer([&ring] {
    for (std::uint32_t i = 0; i < kItems; ++i)
      while (!ring.Push(i)) std::this_thread::yield();
  });
  std::uint32_t expected = 0;
  bool inOrder = true;
  while (expected < kItems) {
    if (const auto item = ring.Pop()) {
      inOrder = inOrder && *item == expected;
      ++expected;
    } else {
      std::this_thread::yield();
    }
  }
  writer.join();
  EXPECT_TRUE(inOrder);
  EXPECT_FALSE(ring.Pop().has_value());
}

struct MidiRow {
  const char* name;
  std::vector<unsigned char> bytes;
  std::optional<MidiEvent::Kind> kind;
};

class ClassifyMidiTest : public testing::TestWithParam<MidiRow> {};

TEST_P(ClassifyMidiTest, Sorts) {
  const auto& row = GetParam();
  EXPECT_EQ(ClassifyMidi(row.bytes.data(), row.bytes.size()), row.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ClassifyMidiTest,
    testing::Values(MidiRow{"ClockTick", {0xF8}, MidiEvent::Kind::ClockTick},
                    MidiRow{"Start", {0xFA}, MidiEvent::Kind::Start},
                    MidiRow{"Continue", {0xFB}, MidiEvent::Kind::Continue},
                    MidiRow{"Stop", {0xFC}, MidiEvent::Kind::Stop},
                    MidiRow{"NoteOnChannel1", {0x90, 60, 100}, MidiEvent::Kind::NoteOn},
                    MidiRow{"NoteOnChannel16", {0x9F, 36, 1}, MidiEvent::Kind::NoteOn},
                    MidiRow{"NoteOnVelocityZeroIsNoteOff", {0x90, 60, 0}, std::nullopt},
                    MidiRow{"NoteOff", {0x80, 60, 64}, std::nullopt},
                    MidiRow{"NoteOnCut", {0x90, 60}, std::nullopt},
                    MidiRow{"SongPosition", {0xF2, 0, 0}, std::nullopt},
                    MidiRow{"ActiveSensing", {0xFE}, std::nullopt},
                    MidiRow{"ControlChange", {0xB0, 64, 127}, std::nullopt},
                    MidiRow{"Empty", {}, std::nullopt},
                    MidiRow{"ClockTickWithATrailingByte", {0xF8, 0x00}, std::nullopt},
                    MidiRow{"StopWithATrailingByte", {0xFC, 0xF8}, std::nullopt},
                    MidiRow{"NoteOnOfFourBytes", {0x90, 60, 100, 0}, std::nullopt},
                    MidiRow{"NoteOnWithAStatusForData", {0x90, 0xF8, 100}, std::nullopt}),
    calc_test::RowName{});

}  // namespace
