// Opening files the program reads.
#pragma once
#include <cstdio>
#include <string>

namespace platform {

// Opens `path` for reading in text mode when it is a regular file; null when
// it cannot be opened or is anything else (a FIFO, a device, a directory),
// which is found without blocking.
std::FILE* OpenRegularFile(const char* path);

// The bytes of `path` as they are on disk (no line-break translation), by
// the same rule; false when it cannot be opened or read.
bool ReadRegularFile(const char* path, std::string* text);

// Puts `contents` at `path` so that a crash at any moment leaves either the
// previous file or the new one whole: a new file in the same folder, flushed
// to disk, then renamed over the old one. The previous file is kept, whole,
// as PATH.bak. A symbolic link is written through: its target is replaced.
// The new files take the old one's mode; they are made under fresh names,
// so nothing already beside the file (a link, another program's file) is
// ever opened or changed. A file nobody may write is left alone: false.
// false with the reason in `why`; the file is then as it was.
bool ReplaceFileSafely(const char* path, const std::string& contents, std::string* why);

}  // namespace platform
