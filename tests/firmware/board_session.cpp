#include "tests/firmware/board_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

#include "firmware/line.h"

namespace boardtest {

namespace {

void WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 100);
        }
    }
}

// Moves the complete lines of partial into lines.
void SplitLines(std::string& partial, std::vector<std::string>& lines) {
    size_t end;
    while ((end = partial.find('\n')) != std::string::npos) {
        lines.push_back(partial.substr(0, end));
        partial.erase(0, end + 1);
    }
}

}  // namespace

BoardSession::BoardSession(const std::string& name, const std::string& elf_path) {
    const char* elf = elf_path.empty() ? ORV_FIRMWARE_ELF : elf_path.c_str();
    char dir[] = "/tmp/orv-boardtest-XXXXXX";
    if (mkdtemp(dir) == nullptr) return;
    dir_ = dir;
    const std::string link = dir_ + "/serial";
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[1]);
        close(out[0]);
        if (name.empty())
            execl(ORV_BOARDSIM, ORV_BOARDSIM, "--link", link.c_str(), elf, nullptr);
        else
            execl(ORV_BOARDSIM, ORV_BOARDSIM, "--link", link.c_str(), "--name", name.c_str(), elf, nullptr);
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_sim_ = in[1];
    from_sim_ = out[0];
    fcntl(from_sim_, F_SETFL, O_NONBLOCK);
    if (AwaitSim("pty ").empty()) return;
    serial_ = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (serial_ < 0) return;
    termios t{};
    tcgetattr(serial_, &t);
    cfmakeraw(&t);
    tcsetattr(serial_, TCSANOW, &t);
}

BoardSession::~BoardSession() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    for (int fd : {to_sim_, from_sim_, serial_})
        if (fd >= 0) close(fd);
    if (!dir_.empty()) {
        unlink((dir_ + "/serial").c_str());
        rmdir(dir_.c_str());
    }
}

void BoardSession::Send(const std::string& body) {
    char line[256];
    std::memcpy(line, body.data(), body.size());
    const uint8_t length = fw::FinishLine(line, static_cast<uint8_t>(body.size()));
    SendRaw(std::string(line, length));
}

void BoardSession::SendRaw(const std::string& bytes) { WriteAll(serial_, bytes); }

void BoardSession::Drive(const std::string& command) { WriteAll(to_sim_, command + "\n"); }

void BoardSession::Pump(std::chrono::milliseconds wait) {
    pollfd fds[2] = {{serial_, POLLIN, 0}, {from_sim_, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(wait.count())) <= 0) return;
    char buffer[4096];
    if (fds[0].revents & POLLIN) {
        const ssize_t n = read(serial_, buffer, sizeof buffer);
        if (n > 0) board_partial_.append(buffer, static_cast<size_t>(n));
        std::vector<std::string> lines;
        SplitLines(board_partial_, lines);
        for (std::string& line : lines) {
            if (line.empty() || line == "\r") continue;  // skipped, as the protocol says
            const int body = fw::StripChecksum(line.data(), static_cast<uint8_t>(line.size()));
            if (body < 0 || line.size() > fw::kMaxLine) {
                ++bad_checksums_;
                continue;
            }
            board_lines_.push_back(line.substr(0, static_cast<size_t>(body)));
        }
    }
    if (fds[1].revents & (POLLIN | POLLHUP)) {
        const ssize_t n = read(from_sim_, buffer, sizeof buffer);
        if (n > 0) sim_partial_.append(buffer, static_cast<size_t>(n));
        SplitLines(sim_partial_, sim_lines_);
    }
}

static std::string Await(const std::vector<std::string>& lines, size_t& seen, const std::string& prefix) {
    while (seen < lines.size()) {
        const std::string& line = lines[seen++];
        if (line.compare(0, prefix.size(), prefix) == 0) return line;
    }
    return "";
}

std::string BoardSession::AwaitBoard(const std::string& prefix, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::string line = Await(board_lines_, board_seen_, prefix);
        if (!line.empty() || std::chrono::steady_clock::now() > end) return line;
        Pump(std::chrono::milliseconds(20));
    }
}

std::string BoardSession::AwaitSim(const std::string& prefix, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::string line = Await(sim_lines_, sim_seen_, prefix);
        if (!line.empty() || std::chrono::steady_clock::now() > end) return line;
        Pump(std::chrono::milliseconds(20));
    }
}

void BoardSession::Settle(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) Pump(std::chrono::milliseconds(20));
}

}  // namespace boardtest
