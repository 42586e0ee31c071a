// Helpers shared by the link tests: log files, a scripted UDP peer on
// loopback, datagram builders for what the DB node sends, a fake mutex and
// a monitor clock the test steps by hand.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/net.h"
#include "platform/sync.h"

namespace linktest {

using Bytes = std::vector<unsigned char>;

// The log of this test program, and the one a death-test child writes.
constexpr const char* kLogName = "ORVVarnoth.log";
constexpr const char* kDeathLogName = "ORVDeath.log";

std::string ReadFile(const char* name);
std::string ProcessLog();
std::string DeathLog();
// The messages of a log (or of a tail of one), one per line, without their
// time stamps; "Log started." has none. A line without a well-formed stamp
// comes back marked "UNSTAMPED:".
std::vector<std::string> Messages(const std::string& log);
// Whether the log holds `message` (given with its "\n") as a whole line.
bool HasLine(const std::string& log, const std::string& message);
// Occurrences of `text` in `haystack`.
int CountOf(const std::string& haystack, const std::string& text);

// A UDP socket on loopback, optionally bound to a port.
struct Peer {
    explicit Peer(std::uint16_t bindPort = 0, std::uint32_t bindAddress = 0x7F000001);
    ~Peer();
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void SendTo(std::uint16_t port, const Bytes& data, std::uint32_t address = 0x7F000001) const;
    // Blocks for the next datagram (the test's time limit guards a hang).
    Bytes Receive() const;
    // Sends a marker to itself and expects it to be the next datagram read,
    // proving nothing else was waiting.
    bool NothingPending() const;

    platform::SocketHandle socket;
    std::uint16_t port;
};

// What the DB node sends.
struct UpdateItem {
    std::int32_t indexField;
    bool real;
    std::int32_t intValue;
    double realValue;
};
Bytes Header(std::int32_t msgClass, std::int32_t msgType, std::int32_t itemCount);
Bytes Update(const std::vector<UpdateItem>& items);
Bytes IntItemUpdate(std::int32_t indexField, std::int32_t value);
Bytes KeepAliveFromDb();
Bytes AddressReply(const std::string& text);
Bytes FlightPlanDatagram(std::size_t totalLength, unsigned char fill);

// Header fields and payload text of a received datagram.
std::int32_t Field(const Bytes& d, int number);  // 0 msgClass ... 4 senderId
std::string PayloadText(const Bytes& d);

// A mutex whose wait outcome and release result the test chooses.
class FakeMutex final : public platform::Mutex {
public:
    explicit FakeMutex(platform::WaitResult result = platform::WaitResult::Acquired,
                       bool releaseOk = true)
        : result_(result), releaseOk_(releaseOk) {}
    platform::WaitResult Wait() override {
        waits.fetch_add(1);
        return result_;
    }
    bool Release() override { return releaseOk_; }
    std::atomic<int> waits{0};

private:
    platform::WaitResult result_;
    bool releaseOk_;
};

// Polls `condition` for up to `ms` milliseconds.
bool WaitFor(bool (*condition)(), int ms = 5000);

// Number of open file descriptors of this process.
int OpenDescriptorCount();

}  // namespace linktest
