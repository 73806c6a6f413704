// A handler is an ordered list of steps, each writing one output. A step
// reports whether it succeeded; the handler's failure policy decides whether
// the steps after a failed one still run.
#pragma once

#include <exception>
#include <utility>

namespace calc {

enum class FailurePolicy {
  SkipOnFailure,  // a failed step is passed over; the later steps run
  StopOnFailure,  // a failed step ends the handler; the earlier ones stay done
};

class StepRunner {
 public:
  explicit StepRunner(FailurePolicy policy) noexcept : policy_(policy) {}

  // Runs `step` (a callable returning true on success) unless an earlier
  // failure stopped the handler. An exception counts as a failure of its
  // step: it never escapes a handler.
  template <typename Step>
  StepRunner& operator()(Step&& step) noexcept {
    if (stopped_) return *this;
    bool ok = false;
    try {
      ok = std::forward<Step>(step)();
    } catch (const std::exception&) {
      ok = false;
    }
    if (!ok) {
      ++failures_;
      stopped_ = policy_ == FailurePolicy::StopOnFailure;
    }
    return *this;
  }

  bool stopped() const noexcept { return stopped_; }
  int failures() const noexcept { return failures_; }

 private:
  FailurePolicy policy_;
  bool stopped_ = false;
  int failures_ = 0;
};

// Runs the steps in order under `policy`; returns the number that failed.
template <typename... Steps>
int RunSteps(FailurePolicy policy, Steps&&... steps) noexcept {
  StepRunner runner(policy);
  (runner(std::forward<Steps>(steps)), ...);
  return runner.failures();
}

}  // namespace calc
