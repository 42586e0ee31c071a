#include "tests/link/link_test_support.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/wire.h"

namespace linktest {

std::string ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ProcessLog() { return ReadFile(kLogName); }
std::string DeathLog() { return ReadFile(kDeathLogName); }

std::vector<std::string> Messages(const std::string& log) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(start, end - start);
        start = end + 1;
        if (line == "Log started.") {
            out.push_back(line);
            continue;
        }
        // "HH:MM:SS:mmm " then the blank before the message.
        const bool stamped = line.size() >= 14 && line[2] == ':' && line[5] == ':' && line[8] == ':' &&
                             line[12] == ' ' && line[13] == ' ';
        out.push_back(stamped ? line.substr(14) : "UNSTAMPED:" + line);
    }
    return out;
}

bool HasLine(const std::string& log, const std::string& message) {
    const std::string bare = !message.empty() && message.back() == '\n'
                                 ? message.substr(0, message.size() - 1)
                                 : message;
    for (const std::string& m : Messages(log)) {
        if (m == bare) return true;
    }
    return false;
}

int CountOf(const std::string& haystack, const std::string& text) {
    int n = 0;
    for (std::size_t at = haystack.find(text); at != std::string::npos;
         at = haystack.find(text, at + text.size())) {
        ++n;
    }
    return n;
}

Peer::Peer(std::uint16_t bindPort, std::uint32_t bindAddress)
    : socket(platform::OpenUdpSocket()), port(bindPort) {
    if (bindPort != 0) platform::BindUdp(socket, platform::Ipv4Endpoint{bindAddress, bindPort});
}

Peer::~Peer() { platform::CloseSocket(socket); }

void Peer::SendTo(std::uint16_t to, const Bytes& data, std::uint32_t address) const {
    platform::SendTo(socket, data.data(), data.size(), platform::Ipv4Endpoint{address, to});
}

Bytes Peer::Receive() const {
    Bytes buffer(8192);
    const long n = platform::ReceiveFrom(socket, buffer.data(), buffer.size());
    buffer.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return buffer;
}

bool Peer::NothingPending() const {
    const Bytes marker{'m', 'a', 'r', 'k'};
    Peer sender;
    sender.SendTo(port, marker);
    return Receive() == marker;
}

Bytes Header(std::int32_t msgClass, std::int32_t msgType, std::int32_t itemCount) {
    Bytes d(kHeaderSize);
    EncodeHeader(d.data(), DatagramHeader{msgClass, msgType, 7, itemCount, 3});
    return d;
}

Bytes Update(const std::vector<UpdateItem>& items) {
    Bytes d = Header(kClassData, kTypeVarUpdate, static_cast<std::int32_t>(items.size()));
    for (const UpdateItem& item : items) {
        unsigned char field[12];
        PutInt32(field, item.indexField);
        std::size_t width = 8;
        if (item.real) {
            PutDouble(field + 4, item.realValue);
            width = 12;
        } else {
            PutInt32(field + 4, item.intValue);
        }
        d.insert(d.end(), field, field + width);
    }
    return d;
}

Bytes IntItemUpdate(std::int32_t indexField, std::int32_t value) {
    return Update({UpdateItem{indexField, false, value, 0.0}});
}

Bytes KeepAliveFromDb() {
    Bytes d = Header(kClassControl, kTypeKeepAlive, 1);
    const std::string text = " 127.0.0.1 9100 1 1";
    d.insert(d.end(), text.begin(), text.end());
    return d;
}

Bytes AddressReply(const std::string& text) {
    Bytes d = Header(kClassControl, kTypeAddressReply, 0);
    d.insert(d.end(), text.begin(), text.end());
    return d;
}

Bytes FlightPlanDatagram(std::size_t totalLength, unsigned char fill) {
    Bytes d = Header(kClassData, kTypeFlightPlan, 0);
    d.resize(totalLength, fill);
    return d;
}

std::int32_t Field(const Bytes& d, int number) {
    if (d.size() < kHeaderSize) return -99999;
    return GetInt32(d.data() + 4 * number);
}

std::string PayloadText(const Bytes& d) {
    if (d.size() < kHeaderSize) return std::string();
    return std::string(d.begin() + kHeaderSize, d.end());
}

bool WaitFor(bool (*condition)(), int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

int OpenDescriptorCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

}  // namespace linktest
