// Ending the process and reading its surroundings.
#pragma once
#include <cstddef>

namespace platform {

// Ends the process at once with `code`: standard output is flushed, but no
// static destructors run, so threads still using globals cannot race them.
// On POSIX the parent sees only the low 8 bits of the code.
[[noreturn]] void ExitProcess(int code);

// A function ExitProcess calls first, so that what the log still holds
// reaches its file whatever ends the process (the last call wins).
void SetExitFlush(void (*flush)());

// Copies the current working directory into buf (NUL-terminated).
// Returns false (and leaves buf empty) when it cannot be read or does not fit.
bool GetWorkingDirectory(char* buf, std::size_t size);

}  // namespace platform
