// Opening files the program reads.
#pragma once
#include <cstdio>

namespace platform {

// Opens `path` for reading in text mode when it is a regular file; null when
// it cannot be opened or is anything else (a FIFO, a device, a directory),
// which is found without blocking.
std::FILE* OpenRegularFile(const char* path);

}  // namespace platform
