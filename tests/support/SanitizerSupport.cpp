// Linked into every program of a sanitized build (tests/support/CMakeLists.txt),
// so each one behaves the same under the sanitizers however it is started.

// The leak checker runs at exit and counts memory as reachable only from the
// modules loaded at that moment. Mesa loads its OpenGL driver with dlopen and
// unloads it when the program's last display connection goes, before the
// checker runs: whatever the driver keeps in its globals then looks leaked,
// from "<unknown module>". Defined in the executable and exported, this
// dlclose is found before the C library's by every library that unloads
// another, so nothing a sanitized program loads is ever unloaded. The
// driver's memory stays reachable from its globals, whichever driver, version
// or install path the machine has, and the checker reports only real leaks.
extern "C" int dlclose(void*)
{
    return 0;
}

// Defaults; the ASAN_OPTIONS, LSAN_OPTIONS and UBSAN_OPTIONS variables still
// override them.
// - GCC 12's leak checker guesses the bounds of each thread's dynamically
//   loaded TLS blocks and now and then guesses an address near zero, then
//   crashes while scanning it ("Tracer caught signal 11"). Without that guess
//   those blocks are still scanned as the heap blocks they are, reached from
//   the thread's own TLS.
// - The suppressions in tests/lsan.supp hold for every program, run by a test
//   or by hand.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

extern "C" const char* __lsan_default_options()
{
    return "suppressions='" QUILLORA_LSAN_SUPPRESSIONS "':print_suppressions=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1";
}
