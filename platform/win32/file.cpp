#include <windows.h>
#include <io.h>

#include <cstdio>

#include "platform/file.h"

namespace platform {

std::FILE* OpenRegularFile(const char* path) {
    // A device name (CON, a pipe) opens as something other than a disk file
    // and could block the reader: only plain files are read.
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return nullptr;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return nullptr;
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(h) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

}  // namespace platform
