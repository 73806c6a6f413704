// Marking suggested stereo pairs of delay slots.
#include "calc/stereo.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <utility>
#include <vector>

#include "test_names.h"

namespace calc {
void PrintTo(const Rgb& rgb, std::ostream* out) {
  *out << "RGB(" << int{rgb.r} << ", " << int{rgb.g} << ", " << int{rgb.b} << ")";
}
}  // namespace calc

namespace {

using calc::Rgb;
using calc_test::RowName;

constexpr Rgb kNavy{0, 0, 64};
constexpr Rgb kLightGrey{224, 224, 224};
constexpr Rgb kOrange{255, 102, 0};

Rgb Base(std::size_t slot) { return slot % 2 == 0 ? kNavy : kLightGrey; }

struct PairRow {
  const char* name;
  std::size_t option;  // 1 to 6
  int first;
  int second;
};

class StereoPairTest : public testing::TestWithParam<PairRow> {};

TEST_P(StereoPairTest, MarksOnlyThePairsSlots) {
  const auto& row = GetParam();
  const calc::StereoPair pair = calc::kStereoPairs[row.option - 1];
  EXPECT_EQ(pair.first, row.first);
  EXPECT_EQ(pair.second, row.second);

  calc::SlotColors colors;
  colors.fill(kOrange);  // every slot marked beforehand
  calc::MarkStereoPair(colors, pair.first, pair.second);
  for (std::size_t slot = 0; slot < colors.size(); ++slot) {
    const bool marked =
        slot == static_cast<std::size_t>(row.first) || slot == static_cast<std::size_t>(row.second);
    EXPECT_EQ(colors[slot], marked ? kOrange : Base(slot)) << "slot " << slot;
  }
}

INSTANTIATE_TEST_SUITE_P(Options, StereoPairTest,
                         testing::Values(PairRow{"QuarterAndDottedQuarter", 1, 4, 5},
                                         PairRow{"EighthAndDottedEighth", 2, 6, 7},
                                         PairRow{"DottedQuarterAndDottedEighth", 3, 5, 7},
                                         PairRow{"QuarterAndEighth", 4, 4, 6},
                                         PairRow{"DottedEighthAndSixteenth", 5, 7, 8},
                                         PairRow{"DottedQuarterAndHalf", 6, 5, 2}),
                         RowName{});

TEST(StereoColorsTest, SecondPairReplacesFirst) {
  calc::SlotColors colors;
  calc::ResetDelayColors(colors);
  calc::MarkStereoPair(colors, 4, 5);
  calc::MarkStereoPair(colors, 5, 7);
  EXPECT_EQ(colors[4], kNavy);
  EXPECT_EQ(colors[5], kOrange);
  EXPECT_EQ(colors[7], kOrange);
  EXPECT_EQ(colors[6], kNavy);
}

TEST(StereoColorsTest, CallbackReceivesWritesInOrder) {
  std::vector<std::pair<int, Rgb>> writes;
  calc::MarkStereoPair([&writes](int slot, Rgb rgb) { writes.emplace_back(slot, rgb); }, 5, 2);
  ASSERT_EQ(writes.size(), 26u);
  for (int slot = 0; slot < 24; ++slot) {
    const auto& write = writes[static_cast<std::size_t>(slot)];
    EXPECT_EQ(write.first, slot);
    EXPECT_EQ(write.second, Base(static_cast<std::size_t>(slot))) << "slot " << slot;
  }
  EXPECT_EQ(writes[24].first, 5);
  EXPECT_EQ(writes[24].second, kOrange);
  EXPECT_EQ(writes[25].first, 2);
  EXPECT_EQ(writes[25].second, kOrange);
}

}  // namespace
