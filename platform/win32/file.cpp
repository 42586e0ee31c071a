#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <algorithm>
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

// Writes `contents` to a new file beside `path`, flushes it and moves it
// over `path` in one step.
bool WriteAndMove(const std::string& path, const std::string& contents, std::string* why) {
    const std::string fresh = path + ".new";
    const HANDLE h = CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *why = Reason("cannot create", fresh);
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
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!ReadRegularFile(target.c_str(), &previous)) {
            *why = Reason("cannot read", target);
            return false;
        }
        if (!WriteAndMove(target + ".bak", previous, why)) return false;
    }
    return WriteAndMove(target, contents, why);
}

}  // namespace platform
