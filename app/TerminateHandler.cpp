// The handler std::terminate calls in BrimvaleSetup.exe, in place of the C++
// runtime's verbose one. That one writes the same lines, but with the type
// name demangled, and its demangler is a sixth of the executable's code. The
// wizard is a GUI program whose standard error is seldom read, so the raw
// type name does as well.
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <typeinfo>

namespace __gnu_cxx {

// Defined here, the runtime's own definition (and the demangler it pulls in)
// is never linked.
void __verbose_terminate_handler() {
  static bool terminating = false;
  if (terminating) {
    std::fputs("terminate called recursively\n", stderr);
    std::abort();
  }
  terminating = true;

  if (const std::type_info* type = abi::__cxa_current_exception_type()) {
    std::fputs("terminate called after throwing an instance of '", stderr);
    std::fputs(type->name(), stderr);
    std::fputs("'\n", stderr);
    try {
      throw;
    } catch (const std::exception& error) {
      std::fputs("  what():  ", stderr);
      std::fputs(error.what(), stderr);
      std::fputs("\n", stderr);
    } catch (...) {
    }
  } else {
    std::fputs("terminate called without an active exception\n", stderr);
  }
  std::abort();
}

}  // namespace __gnu_cxx
