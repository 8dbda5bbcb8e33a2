// Linked into every program of a sanitized build (tests/support/CMakeLists.txt).
//
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
