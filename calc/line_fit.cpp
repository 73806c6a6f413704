#include "calc/line_fit.h"

#include <algorithm>

namespace calc {

void LineFit::Add(double x, double y) noexcept {
  if (count_ == 0) {
    *this = LineFit{};
    runs_ = 1;
    originX_ = x;
    originY_ = y;
  }
  const double px = x - originX_, py = y - originY_;
  ++count_;
  const double n = static_cast<double>(count_);
  const double dx = px - meanX_, dy = py - meanY_;
  meanX_ += dx / n;
  meanY_ += dy / n;
  sxx_ += dx * (px - meanX_);
  sxy_ += dx * (py - meanY_);
  syy_ += dy * (py - meanY_);
}

void LineFit::Remove(double x, double y) noexcept {
  if (count_ <= 1) {
    Clear();
    return;
  }
  const double px = x - originX_, py = y - originY_;
  const double dx = px - meanX_, dy = py - meanY_;
  --count_;
  const double n = static_cast<double>(count_);
  meanX_ -= dx / n;
  meanY_ -= dy / n;
  sxx_ = std::max(0.0, sxx_ - dx * (px - meanX_));
  sxy_ -= dx * (py - meanY_);
  syy_ = std::max(0.0, syy_ - dy * (py - meanY_));
}

void LineFit::Join(const LineFit& run) noexcept {
  if (run.count_ == 0) return;
  const LineFit before = *this;
  *this = run;
  count_ += before.count_;
  runs_ += before.runs_;
  sxx_ += before.sxx_;
  sxy_ += before.sxy_;
  syy_ += before.syy_;
}

std::optional<double> LineFit::Slope() const noexcept {
  if (!(sxx_ > 0.0)) return std::nullopt;
  return sxy_ / sxx_;
}

double LineFit::At(double x) const noexcept {
  const double slope = Slope().value_or(0.0);
  return originY_ + meanY_ + slope * ((x - originX_) - meanX_);
}

double LineFit::Residual() const noexcept {
  if (!(sxx_ > 0.0)) return syy_;
  return std::max(0.0, syy_ - sxy_ * sxy_ / sxx_);
}

std::size_t LineFit::Freedom() const noexcept {
  return count_ > runs_ + 1 ? count_ - runs_ - 1 : 0;
}

}  // namespace calc
