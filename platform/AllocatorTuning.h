#pragma once

// The software renderer allocates and frees large blocks every frame; glibc
// by default hands such blocks back to the system each time and the game then
// pays in page faults. Keeps freed memory in the process for reuse instead.
// Does nothing where the C library has no such setting.
void keepFreedMemoryForReuse();
