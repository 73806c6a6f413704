// Handlers as ordered lists of steps under a failure policy.
#include "calc/steps.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "test_names.h"

namespace {

using calc::FailurePolicy;
using calc_test::RowName;

struct StepsRow {
  const char* name;
  FailurePolicy policy;
  const char* outcomes;  // per step: 's' succeeds, 'f' fails, 't' throws
  const char* ran;       // indexes of the steps that ran, in order
  int failures;
  bool stopped;
};

class StepRunnerTest : public testing::TestWithParam<StepsRow> {};

TEST_P(StepRunnerTest, RunsStepsUnderPolicy) {
  const auto& row = GetParam();
  std::string ran;
  calc::StepRunner runner(row.policy);
  const std::string outcomes = row.outcomes;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    runner([&ran, &outcomes, i] {
      ran += static_cast<char>('0' + i);
      if (outcomes[i] == 't') throw std::runtime_error("step threw");
      return outcomes[i] == 's';
    });
  }
  EXPECT_EQ(ran, row.ran);
  EXPECT_EQ(runner.failures(), row.failures);
  EXPECT_EQ(runner.stopped(), row.stopped);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, StepRunnerTest,
    testing::Values(
        StepsRow{"SkipAllSucceed", FailurePolicy::SkipOnFailure, "sss", "012", 0, false},
        StepsRow{"SkipRunsStepsAfterFailure", FailurePolicy::SkipOnFailure, "sfs", "012", 1, false},
        StepsRow{"SkipCountsEveryFailure", FailurePolicy::SkipOnFailure, "ffsf", "0123", 3, false},
        StepsRow{"SkipThrowIsFailure", FailurePolicy::SkipOnFailure, "tss", "012", 1, false},
        StepsRow{"StopAllSucceed", FailurePolicy::StopOnFailure, "sss", "012", 0, false},
        StepsRow{"StopEndsAtFirstFailure", FailurePolicy::StopOnFailure, "sfss", "01", 1, true},
        StepsRow{"StopAtFirstStep", FailurePolicy::StopOnFailure, "fs", "0", 1, true},
        StepsRow{"StopThrowEndsHandler", FailurePolicy::StopOnFailure, "stf", "01", 1, true},
        StepsRow{"StopFailureAtLastStep", FailurePolicy::StopOnFailure, "ssf", "012", 1, true}),
    RowName{});

TEST(RunStepsTest, SkipReturnsFailureCountAndKeepsEarlierWrites) {
  std::string samples = "44100";
  std::string length;
  const int failures = calc::RunSteps(
      FailurePolicy::SkipOnFailure,
      [&] {
        samples = "88200";
        return true;
      },
      [] { return false; }, []() -> bool { throw std::invalid_argument("no number"); },
      [&] {
        length = "2";
        return true;
      });
  EXPECT_EQ(failures, 2);
  EXPECT_EQ(samples, "88200");
  EXPECT_EQ(length, "2");
}

}  // namespace
