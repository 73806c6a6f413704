// The least-squares accumulator shared by the tap and clock fits.
#include "calc/line_fit.h"

#include <gtest/gtest.h>

#include "test_names.h"

namespace {

struct LineRow {
  const char* name;
  double x0, y0, slope;
  double off;  // +off, -off, -off, +off in every four points: no pull on the line
};

class LineFitTest : public testing::TestWithParam<LineRow> {};

// 192 points, then the oldest 64 taken back, then a run of 64 at another
// intercept joined: the slope, the line and the residual stay exact.
TEST_P(LineFitTest, ExactFarFromZero) {
  const auto& row = GetParam();
  const auto y = [&](int i, double shift) {
    return row.y0 + shift + row.slope * i + ((i % 4 == 0 || i % 4 == 3) ? row.off : -row.off);
  };
  calc::LineFit fit, other;
  for (int i = 0; i < 192; ++i) fit.Add(row.x0 + i, y(i, 0.0));
  for (int i = 0; i < 64; ++i) fit.Remove(row.x0 + i, y(i, 0.0));
  for (int i = 0; i < 64; ++i) other.Add(row.x0 + i, y(i, 5000.0));
  EXPECT_NEAR(fit.At(row.x0 + 200), y(200, 0.0) - row.off, 1e-3);
  fit.Join(other);
  ASSERT_TRUE(fit.Slope().has_value());
  EXPECT_NEAR(*fit.Slope(), row.slope, 1e-9 * row.slope);
  // Within a few roundings of the spread of y, the most centred sums can do.
  const double spread = 192 * (row.slope * 192) * (row.slope * 192);
  EXPECT_NEAR(fit.Residual(), 192 * row.off * row.off, 1e-15 * spread + 1e-6);
  EXPECT_EQ(fit.Freedom(), 192u - 3u);
  EXPECT_NEAR(fit.At(row.x0 + 300), y(300, 5000.0) - row.off, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineFitTest,
    testing::Values(LineRow{"TapsInMilliseconds", 0.0, 0.0, 500.0, 3.0},
                    LineRow{"TicksNear2To40Frames", 0.0, 1099511627776.0, 1233.3, 1.0},
                    LineRow{"FarIndicesExactLine", 1e9, 1099511627776.0 + 12345.0, 689.7, 0.0},
                    LineRow{"BridgeJitter", 7.0, 4294967295.0, 1562.5, 128.0}),
    calc_test::RowName{});

}  // namespace
