// Linked into every program of a sanitized build (tests/support/CMakeLists.txt),
// so each behaves the same under the sanitizers however it is started.

// The leak checker runs at exit and counts memory as reachable only from the
// modules loaded then. Mesa unloads its OpenGL driver when the last display
// connection goes, before the checker runs, and the driver's own allocations
// then look leaked, from "<unknown module>". This dlclose, exported from the
// executable, is found before the C library's, so a sanitized program never
// unloads anything: whichever driver, version or path a machine has, its
// memory stays reachable and only real leaks are reported.
extern "C" int dlclose(void*)
{
    return 0;
}

// Defaults, which the *SAN_OPTIONS variables still override. GCC 12's leak
// checker guesses the bounds of dynamically loaded TLS blocks and now and then
// guesses an address near zero and crashes ("Tracer caught signal 11"); the
// blocks are still scanned as the heap blocks they are. The suppressions hold
// for every program, run by a test or by hand.
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
