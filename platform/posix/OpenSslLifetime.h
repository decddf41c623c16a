// OpenSSL's global and per-thread state, kept until the process is gone.
//
// By default OpenSSL frees all of it from an atexit handler, including the
// state of threads that are still running. The native build's worker threads
// (event reports, image downloads, free threads waiting for their next task)
// may be inside OpenSSL or ending while the process ends; freeing under them
// crashes, or frees a thread's state twice when the thread ends after the
// handler. Nothing needs that memory back: the process is ending.
#pragma once

namespace platform::posix {

// Call before the first use of OpenSSL or libcurl in the process (later calls
// do nothing). The first initialisation decides: a library that initialises
// OpenSSL when it is loaded (cpp-httplib's shared library does, for the
// reference server) has decided before this can run.
// Throws std::runtime_error when OpenSSL cannot be initialised.
void KeepOpenSslUntilProcessEnd();

}  // namespace platform::posix
