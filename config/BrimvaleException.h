// The program's own exception: thrown for transport and protocol failures
// (no answer from the server, a refused system, a blank answer). Its what()
// is empty, as its catchers expect; for our diagnostics it names the step
// that failed and the system error code behind it.
#pragma once

#include <exception>
#include <string>

#include "platform/Win32Error.h"

class BrimvaleException : public std::exception {
 public:
  // `failedStep` is a text that lives as long as the program (a literal):
  // the WinHTTP call that failed ("WinHttpSendRequest") or the check that
  // refused ("configuration URL check"). `errorCode` is the call's Win32
  // error, kErrorSuccess when there is none.
  explicit BrimvaleException(const char* failedStep, platform::Win32Error errorCode = platform::kErrorSuccess)
      : failedStep(failedStep), errorCode(errorCode) {}

  const char* what() const noexcept override { return ""; }
  const char* FailedStep() const noexcept { return failedStep; }
  platform::Win32Error ErrorCode() const noexcept { return errorCode; }

  // "<step> failed", with ": error <code>" when there is a code.
  std::string Describe() const {
    std::string text = std::string(failedStep) + " failed";
    if (errorCode != platform::kErrorSuccess) text += ": error " + std::to_string(errorCode);
    return text;
  }

 private:
  const char* failedStep;
  platform::Win32Error errorCode;
};
