// Helpers shared by the link tests: logs, a UDP peer on loopback, what the
// DB node sends, and a mutex whose outcome the test chooses.
#pragma once
#include <atomic>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>


#include "protocol/wire.h"
#include "platform/net.h"
#include "platform/sync.h"

namespace linktest {

using Bytes = std::vector<unsigned char>;

// The log of this program, and the one a death-test child writes.
constexpr const char* kLogName = "ORVVarnoth.log";
constexpr const char* kDeathLogName = "ORVDeath.log";

inline std::string ReadFile(const char* name) {
    std::stringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
}
inline std::string ProcessLog() { return ReadFile(kLogName); }
inline std::string DeathLog() { return ReadFile(kDeathLogName); }

inline int CountOf(const std::string& haystack, const std::string& text) {
    int n = 0;
    for (auto at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + 1)) ++n;
    return n;
}

constexpr std::uint32_t kLoopback = 0x7F000001;   // 127.0.0.1
constexpr std::uint32_t kLoopback2 = 0x7F000002;  // 127.0.0.2, also on lo

// Makes a receive on `s` give up after `ms` (it then reports an error).
inline void SetReceiveTimeout(platform::SocketHandle s, int ms) {
    platform::SetReceiveTimeout(s, ms);
}

// A UDP socket on loopback, bound to `port` unless it is 0. It owns its
// socket, so it is never copied.
struct Peer {
    explicit Peer(std::uint16_t port = 0, std::uint32_t address = kLoopback)
        : socket(platform::OpenUdpSocket()), port(port) {
        if (port != 0) platform::BindUdp(socket, {address, port});
        SetReceiveTimeout(socket, 3000);  // a lost datagram fails the test, not hangs it
    }
    ~Peer() { platform::CloseSocket(socket); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void SendTo(std::uint16_t to, const Bytes& d, std::uint32_t address = kLoopback) const {
        platform::SendTo(socket, d.data(), d.size(), {address, to});
    }
    // The next datagram; empty when none came within the timeout.
    Bytes Receive() const {
        Bytes b(8192);
        const long n = platform::ReceiveFrom(socket, b.data(), b.size());
        b.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        return b;
    }
    // A marker sent to itself is the next datagram: nothing else was waiting.
    bool NothingPending() const {
        const Bytes marker{'m', 'a', 'r', 'k'};
        Peer().SendTo(port, marker);
        return Receive() == marker;
    }

    platform::SocketHandle socket;
    std::uint16_t port;
};

inline Bytes Header(std::int32_t msgClass, std::int32_t msgType, std::int32_t itemCount) {
    Bytes d(kHeaderSize);
    EncodeHeader(d.data(), DatagramHeader{msgClass, msgType, 7, itemCount, 3});
    return d;
}

// A variable update from the DB node; a real item when `real` is set.
struct Item { std::int32_t index; bool real; double value; };
inline Bytes Update(const std::vector<Item>& items) {
    Bytes d = Header(kClassData, kMsgVarUpdate, static_cast<std::int32_t>(items.size()));
    for (const Item& item : items) {
        unsigned char f[12];
        PutInt32(f, item.index);
        if (item.real) PutDouble(f + 4, item.value);
        else PutInt32(f + 4, static_cast<std::int32_t>(item.value));
        d.insert(d.end(), f, f + (item.real ? 12 : 8));
    }
    return d;
}
inline Bytes IntUpdate(std::int32_t index, std::int32_t value) { return Update({{index, false, 1.0 * value}}); }

inline Bytes WithText(Bytes d, const std::string& text) {
    d.insert(d.end(), text.begin(), text.end());
    return d;
}
inline Bytes KeepAliveFromDb() { return WithText(Header(kClassControl, kMsgKeepAlive, 1), " 127.0.0.1 9100 1 1"); }
inline Bytes AddressReply(const std::string& text) { return WithText(Header(kClassControl, kMsgAddressReply, 0), text); }
inline Bytes FlightPlan(std::size_t totalLength, unsigned char fill) {
    Bytes d = Header(kClassData, kMsgFlightPlan, 0);
    d.resize(totalLength, fill);
    return d;
}

// Header field (0 msgClass ... 4 senderId) and payload text of a datagram.
inline std::int32_t Field(const Bytes& d, int n) { return d.size() < kHeaderSize ? -99999 : GetInt32(d.data() + 4 * n); }
inline std::string PayloadText(const Bytes& d) {
    return d.size() < kHeaderSize ? std::string() : std::string(d.begin() + kHeaderSize, d.end());
}

class FakeMutex final : public platform::Mutex {
public:
    explicit FakeMutex(platform::WaitResult result = platform::WaitResult::Acquired, bool releaseOk = true)
        : result_(result), releaseOk_(releaseOk) {}
    platform::WaitResult Wait() override {
        waits.fetch_add(1);
        return result_;
    }
    bool Release() override {
        releases.fetch_add(1);
        return releaseOk_;
    }
    std::atomic<int> waits{0};
    std::atomic<int> releases{0};

private:
    platform::WaitResult result_;
    bool releaseOk_;
};

}  // namespace linktest
