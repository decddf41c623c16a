// The program's own exception: thrown for transport and protocol failures
// (no answer from the server, a refused system, a blank answer). It carries
// no message; the caller knows what it was doing.
#pragma once

#include <exception>

class BrimvaleException : public std::exception {
 public:
  const char* what() const noexcept override { return ""; }
};
