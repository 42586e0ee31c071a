#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

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

bool ReadRegularFile(const char* path, std::string* text) {
    std::FILE* file = OpenRegularFile(path);
    if (file == nullptr) return false;
    // The bytes as they are: a CR LF file must be written back as one.
    _setmode(_fileno(file), _O_BINARY);
    text->clear();
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text->append(block, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

namespace {

std::string Reason(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": error " + std::to_string(GetLastError());
}

// A file of our own beside `path`, under a name nobody had: whatever another
// program left or planted there (a link above all) is never opened, only
// stepped around. INVALID_HANDLE_VALUE when none could be made.
HANDLE CreateFresh(const std::string& path, DWORD attributes, std::string* fresh) {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    std::uint64_t seed = static_cast<std::uint64_t>(GetCurrentProcessId()) * 0x9E3779B97F4A7C15ull ^
                         static_cast<std::uint64_t>(now.QuadPart) ^ reinterpret_cast<std::uintptr_t>(fresh);
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".tmp%012llx", static_cast<unsigned long long>(seed >> 16));
        *fresh = path + suffix;
        const HANDLE h = CreateFileA(fresh->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        const DWORD error = GetLastError();
        if (h != INVALID_HANDLE_VALUE || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) return h;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes `contents` to a new file beside `path`, flushes it and moves it
// over `path` in one step.
bool WriteAndMove(const std::string& path, const std::string& contents, DWORD attributes, std::string* why) {
    std::string fresh;
    const HANDLE h = CreateFresh(path, attributes, &fresh);
    if (h == INVALID_HANDLE_VALUE) {
        *why = Reason("cannot create a new file beside", path);
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < contents.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
        ok = WriteFile(h, contents.data() + done, chunk, &wrote, nullptr) != 0 && wrote > 0;
        done += wrote;
    }
    ok = ok && FlushFileBuffers(h) != 0;
    if (!ok) *why = Reason("cannot write", fresh);
    CloseHandle(h);
    if (ok && MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        *why = Reason("cannot replace", path);
        ok = false;
    }
    if (!ok) DeleteFileA(fresh.c_str());
    return ok;
}

// The final path of a link, else `path` itself.
std::string Target(const char* path) {
    const HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return path;
    char final[MAX_PATH * 2];
    const DWORD n = GetFinalPathNameByHandleA(h, final, sizeof final, FILE_NAME_NORMALIZED);
    CloseHandle(h);
    if (n == 0 || n >= sizeof final) return path;
    return final;
}

}  // namespace

bool ReplaceFileSafely(const char* path, const std::string& contents, std::string* why) {
    why->clear();
    const std::string target = Target(path);
    std::string previous;
    // The new files look as the old one did (hidden stays hidden).
    DWORD kept = FILE_ATTRIBUTE_NORMAL;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // The attribute set by hand is the user's wish, whatever rights we hold.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            *why = std::string(path) + " is read-only; make it writable to save here";
            return false;
        }
        if (!ReadRegularFile(target.c_str(), &previous)) {
            *why = Reason("cannot read", target);
            return false;
        }
        const DWORD own = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (own != 0) kept = own;
        if (!WriteAndMove(target + ".bak", previous, kept, why)) return false;
    }
    return WriteAndMove(target, contents, kept, why);
}

}  // namespace platform
