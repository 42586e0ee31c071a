#include "platform/file.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::FILE* OpenRegularFile(const char* path) {
    // Without O_NONBLOCK a FIFO would hold the open until a writer came.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "r");
    if (file == nullptr) close(fd);
    return file;
}

bool ReadRegularFile(const char* path, std::string* text) {
    std::FILE* file = OpenRegularFile(path);
    if (file == nullptr) return false;
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
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A file of our own beside `path`, under a name nobody had: whatever another
// program left or planted there (a link above all) is never opened, only
// stepped around. -1 when none could be made.
int CreateFresh(const std::string& path, std::string* fresh) {
    std::uint64_t seed = static_cast<std::uint64_t>(getpid()) * 0x9E3779B97F4A7C15ull ^
                         static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                         reinterpret_cast<std::uintptr_t>(fresh);
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".tmp%012llx", static_cast<unsigned long long>(seed >> 16));
        *fresh = path + suffix;
        const int fd = open(fresh->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes `contents` to a new file beside `path`, flushes it and renames it
// over `path`: a reader sees the old file or the new one, never a part.
bool WriteAndRename(const std::string& path, const std::string& contents, mode_t mode, std::string* why) {
    std::string fresh;
    const int fd = CreateFresh(path, &fresh);
    if (fd < 0) {
        *why = Reason("cannot create a new file beside", path);
        return false;
    }
    // The file is ours alone, so its mode may be set: the one the old file had.
    const bool written = WriteAll(fd, contents) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    if (!written) *why = Reason("cannot write", fresh);
    if (close(fd) != 0 && written) *why = Reason("cannot write", fresh);
    if (why->empty() && rename(fresh.c_str(), path.c_str()) != 0) *why = Reason("cannot replace", path);
    if (!why->empty()) {
        unlink(fresh.c_str());
        return false;
    }
    return true;
}

// Flushes the folder's entry list, so that the renames outlive a power cut.
void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

bool ReplaceFileSafely(const char* path, const std::string& contents, std::string* why) {
    why->clear();
    // A link is written through: its target gets the new contents and the
    // link stays a link.
    std::string target = path;
    char resolved[PATH_MAX];
    if (realpath(path, resolved) != nullptr) target = resolved;
    mode_t mode = 0644;
    std::string previous;
    struct stat info {};
    const bool existed = stat(target.c_str(), &info) == 0;
    if (existed) {
        if (!S_ISREG(info.st_mode)) {
            *why = target + " is not a regular file";
            return false;
        }
        mode = info.st_mode & 07777;
        // The mode bits, not access(): root may write anything, yet a file
        // nobody may write was made so on purpose.
        if ((mode & 0222) == 0) {
            *why = target + " is read-only; make it writable to save here";
            return false;
        }
        if (!ReadRegularFile(target.c_str(), &previous)) {
            *why = Reason("cannot read", target);
            return false;
        }
        if (!WriteAndRename(target + ".bak", previous, mode, why)) return false;
    }
    if (!WriteAndRename(target, contents, mode, why)) return false;
    SyncFolderOf(target);
    return true;
}

}  // namespace platform
