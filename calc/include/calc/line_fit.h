// A least-squares line y = intercept + slope x, kept up to date as points
// come and go: the fit of the tap tempo (tap time against tap number) and of
// the MIDI clock (frame time against tick number).
//
// The sums are centred (running means and sums of products of deviations
// from them, updated one point at a time), and every point is first taken
// relative to the first point added, so frame counts near 2^40 lose nothing
// to the size of the numbers. Removing points one at a time for a long run
// adds rounding: a user that slides a window rebuilds the fit from its points
// now and then.
//
// Points may come in several runs that share one slope but each have their
// own intercept (taps on both sides of a missed beat): Join adds another
// run's sums; the intercept and At() are then those of the last run joined.
#pragma once

#include <cstddef>
#include <optional>

namespace calc {

class LineFit {
 public:
  void Add(double x, double y) noexcept;
  // Takes back a point added before; the last point taken back empties the fit.
  void Remove(double x, double y) noexcept;
  // Another run of points on a line of the same slope.
  void Join(const LineFit& run) noexcept;
  void Clear() noexcept { *this = LineFit{}; }

  std::size_t Count() const noexcept { return count_; }
  std::size_t Runs() const noexcept { return runs_; }
  // None while the points do not span two values of x.
  std::optional<double> Slope() const noexcept;
  // The line's y at `x` (the mean of y while there is no slope).
  double At(double x) const noexcept;
  double Intercept() const noexcept { return At(0.0); }
  // The sum of the squared distances of the points from the line.
  double Residual() const noexcept;
  // Degrees of freedom of the residual: points less one intercept per run
  // and the slope (never below zero).
  std::size_t Freedom() const noexcept;
  // The centred sum of squares of x, which sets the slope's error.
  double SpreadX() const noexcept { return sxx_; }
  double MeanX() const noexcept { return originX_ + meanX_; }
  double MeanY() const noexcept { return originY_ + meanY_; }

 private:
  std::size_t count_ = 0;
  std::size_t runs_ = 0;
  double originX_ = 0.0, originY_ = 0.0;  // the first point of the last run
  double meanX_ = 0.0, meanY_ = 0.0;      // relative to the origin
  double sxx_ = 0.0, sxy_ = 0.0, syy_ = 0.0;
};

}  // namespace calc
