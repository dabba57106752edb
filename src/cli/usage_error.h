#pragma once

// A command line or an input file that qd718 cannot use: reported on standard error,
// nothing is sent to the scanner, and the exit status is 2.

#include <stdexcept>

namespace qd718::cli {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace qd718::cli
