#pragma once

// Errors that escape a handler and reach the application's error display: a box titled with
// the application title, with the error icon; the program then goes on.

#include <stdexcept>
#include <string>

namespace qd718 {

// The toolkit's failed text-to-number conversion ("'%s' is not a valid integer value").
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text that the error display shows: the message with a full stop appended when its
// last character's code lies above that of the full stop.
inline std::string ErrorDisplayText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace qd718
