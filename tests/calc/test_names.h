// Row names for data-driven tests: every table row carries a `name` member.
#pragma once

#include <string>

namespace calc_test {

struct RowName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return std::string(info.param.name);
  }
};

}  // namespace calc_test
