// The AddressSanitizer options that the programs which load the OpenGL driver (optvexlor and the
// window tests) build in, for their sanitized builds.
//
// intercept_tls_get_addr=0: up to GCC 13 (LLVM 16), the runtime's __tls_get_addr interceptor
// takes a dynamic TLS block whose start lies 16 bytes past a page boundary for one with the
// header of glibc before 2.25, and reads the two words before it as the block's place and size.
// Since glibc 2.25 there is no such header: a block of a library loaded at run time (Mesa, Qt's
// plugins) lands there by chance, and the leak check's thread stop then crashed ("Tracer caught
// signal 11", "LeakSanitizer has encountered a fatal error") after tests that had passed. Without
// the interceptor dynamic TLS is not scanned; what only it holds belongs to those libraries,
// whose blocks tests/lsan.supp leaves out anyway.
#pragma once

#define VEXLOR_ASAN_DEFAULT_OPTIONS "intercept_tls_get_addr=0"
