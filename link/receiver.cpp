#include "link/receiver.h"

#include <cstdio>
#include <cstring>

#include "link/flight_plan_buffer.h"
#include "link/node_cadence.h"
#include "link/shown_vars.h"
#include "link/transmit.h"
#include "link/var_table.h"
#include "protocol/wire.h"
#include "platform/stop_signal.h"
#include "base/fatal.h"
#include "base/log.h"

namespace {

// Reused for every datagram; one byte more for the NUL after the data.
unsigned char receiveBuffer[kReceiveBufferSize + 1];

void CountDatagram() {
    // The receiver is the only writer of both counters.
    std::int32_t total = totalDatagrams.load(std::memory_order_relaxed) + 1;
    if (total > 9999) {
        total = 1;
        missedDatagrams.store(0, std::memory_order_relaxed);
    }
    totalDatagrams.store(total, std::memory_order_relaxed);
}

void StoreFlightPlan(const unsigned char* datagram, std::size_t length) {
    if (length - kHeaderSize != kFlightPlanSize) {
        WriteLog("GetUDPMsg() - Flight Plan size mismatch\n");
        return;
    }
    const platform::ScopedLock lock = HoldFlightMutex();
    if (!lock.Held()) {
        WriteLog("GetUpdMsg() - Unable to get FlightMutex.\n");
        return;
    }
    std::memcpy(flightPlanBuffer, datagram + kHeaderSize, kFlightPlanSize);
}

int ConnectToDb(const char* text) {
    DbLinkRecord fresh{};
    if (!ParseAddressReply(text, fresh.address, &fresh.port)) {
        WriteLog("Invalid ADR MSg received. (Ignored)\n");
        return -1;
    }
    if (linkConnected.load(std::memory_order_acquire)) return 0;
    fresh.socket = platform::OpenUdpSocket();
    if (fresh.socket == platform::kInvalidSocket) {
        WriteLog("GetUdpMsg() - Simulator Socket Open Failure\n");
        return 0;
    }
    platform::ParseIpv4(fresh.address, &fresh.endpoint.address);  // checked by ParseAddressReply
    fresh.endpoint.port = static_cast<std::uint16_t>(fresh.port);
    // The socket of an earlier connection is no longer used by any sender.
    platform::CloseSocket(InstallDbLink(fresh));
    dbNodeIpv4.store(fresh.endpoint.address, std::memory_order_relaxed);
    heardFromDb.store(true, std::memory_order_release);
    // The node's pace is learned afresh from here: the wait for the link
    // to come up is no gap of its own.
    ResetNodeCadence();
    linkConnected.store(true, std::memory_order_release);
    WriteLog("GetUdpMsg() - Connected to DB\n");
    return 0;
}

// Only the DB node, the one the link is or was last connected to, is heard:
// anyone else who can reach the port could otherwise end the program or
// change the tables with one datagram. Its address alone counts, as it may
// send from any port. While the link is down an address reply is taken from
// anyone, since that is how a DB node is found.
bool FromStranger(const platform::Ipv4Endpoint& from, const unsigned char* buffer, std::size_t length) {
    if (DbLink.port != 0 && from.address == DbLink.endpoint.address) return false;
    if (linkConnected.load(std::memory_order_acquire)) return true;
    if (length < kHeaderSize || length >= kReceiveBufferSize) return true;
    const DatagramHeader h = DecodeHeader(buffer);
    return h.msgClass != kClassControl || h.msgType != kMsgAddressReply;
}

// Reads the decimal port after the address word as "%d" would (leading
// blanks, a sign, digits, anything after them ignored) but without overflow.
bool ParsePort(const char* text, std::int32_t* port) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    if (*text < '0' || *text > '9') return false;
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > 65535) return false;  // however many digits follow
    }
    if (negative || value < 1) return false;
    *port = static_cast<std::int32_t>(value);
    return true;
}

bool receiveFailing = false;  // receiver thread only

}  // namespace

bool ParseAddressReply(const char* text, char (&address)[kDbAddressSize], std::int32_t* port) {
    char word[100];
    int consumed = 0;
    if (std::sscanf(text, "%99s%n", word, &consumed) != 1) return false;
    std::int32_t portValue = 0;
    if (!ParsePort(text + consumed, &portValue)) return false;
    if (std::strlen(word) >= sizeof address) return false;
    std::uint32_t ip;
    if (!platform::ParseIpv4(word, &ip)) return false;
    std::memcpy(address, word, std::strlen(word) + 1);
    *port = portValue;
    return true;
}

int ParseStdUpdate(const unsigned char* datagram, std::size_t length) {
    heardFromDb.store(true, std::memory_order_release);
    if (length < kHeaderSize) return 0;
    const DatagramHeader h = DecodeHeader(datagram);
    // Applied while holding DataMutex, so that a refresh of the working copy
    // never sees half a datagram (or half a real). Should the wait fail, the
    // update is applied all the same, as the receiver always did.
    bool wake = false;  // a variable the panels show took a new value
    {
        const platform::ScopedLock lock(DataMutex, {});
        bool changed = false;
        std::size_t offset = kHeaderSize;
        for (std::int32_t item = 0; item < h.itemCount; ++item) {
            if (length < offset + 4) break;
            const std::int32_t index = datagram[offset];  // only the low-order byte counts
            if (index > StdVarCount) {
                char line[100];
                std::snprintf(line, sizeof line, "ParseStdUpdate() - Index out of range: %d\n", index);
                FatalStop(7711, line);
            }
            offset += 4;
            const std::int32_t type = MasterType(index);
            std::size_t width;
            if (type == kVarReal) {
                width = 8;
            } else if (type == kVarInt) {
                width = 4;
            } else {
                FatalStop(999, "Exit(999) 999\n");
            }
            if (length < offset + width) break;
            const bool different = width == 8 ? StoreMasterReal(index, GetDouble(datagram + offset))
                                              : StoreMasterInt(index, GetInt32(datagram + offset));
            wake = wake || (different && IsShownVar(index));
            offset += width;
            changed = true;
        }
        if (changed) masterChanged.store(true, std::memory_order_release);
    }
    if (wake && linkServices.shownValueChanged != nullptr)
        linkServices.shownValueChanged(linkServices.shownValueContext);
    return 0;
}

namespace {

// Handles one received datagram of `length` bytes held in `buffer`, which
// has room for a NUL after the data. Counts it first.
int HandleDatagram(unsigned char* buffer, std::size_t length) {
    CountDatagram();
    buffer[length] = '\0';  // a text payload ends here
    if (length < kHeaderSize) return 0;  // no header: nothing to act on
    const DatagramHeader h = DecodeHeader(buffer);
    if (h.msgClass == kClassData && h.msgType == kMsgFlightPlan) {
        StoreFlightPlan(buffer, length);
        return 0;
    }
    if (h.msgClass == kClassData && h.msgType == kMsgVarUpdate) return ParseStdUpdate(buffer, length);
    if (h.msgClass == kClassControl && h.msgType == kMsgKeepAlive) {
        heardFromDb.store(true, std::memory_order_release);
        return 0;
    }
    if (h.msgClass == kClassControl && h.msgType == kMsgAddressReply) {
        return ConnectToDb(reinterpret_cast<const char*>(buffer + kHeaderSize));
    }
    return 0;
}

}  // namespace

int HandleUdpMsg(const platform::Ipv4Endpoint& from, unsigned char* buffer, std::size_t length) {
    if (FromStranger(from, buffer, length)) {
        strayDatagrams.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    if (length >= kReceiveBufferSize) {
        char line[100];
        std::snprintf(line, sizeof line, "GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = %zu\n",
                      length);
        FatalStopLevel(9, 1, line);
    }
    if (length == 0) return 0;
    const std::int64_t now = SteadyMs();
    NoteNodeDatagram(now);
    lastDbDatagramMs.store(now, std::memory_order_relaxed);
    return HandleDatagram(buffer, length);
}

namespace {

// One receive; false (nothing to handle) on an error, which is logged once
// per run of errors and backed off: a persistent one would otherwise spin a
// core and fill the log.
bool ReceiveOne(const platform::StopSignal* stop, platform::Ipv4Endpoint* from, long* length) {
    *length = platform::ReceiveFrom(monitorSocket, receiveBuffer, kReceiveBufferSize, from);
    if (stop != nullptr && stop->Requested()) return false;
    if (*length < 0) {
        if (!receiveFailing) WriteLog("GetUdpMsg() - Receive error\n");
        receiveFailing = true;
        linkServices.clock.SleepMs(kReceiveErrorBackoffMs);
        return false;
    }
    receiveFailing = false;
    return true;
}

}  // namespace

int GetUdpMsg() {
    platform::Ipv4Endpoint from;
    long length = 0;
    if (!ReceiveOne(nullptr, &from, &length)) return 0;
    return HandleUdpMsg(from, receiveBuffer, static_cast<std::size_t>(length));
}

void ReceiverThread(platform::StopSignal& stop) {
    while (!stop.Requested()) {
        platform::Ipv4Endpoint from;
        long length = 0;
        if (ReceiveOne(&stop, &from, &length)) HandleUdpMsg(from, receiveBuffer, static_cast<std::size_t>(length));
    }
}
