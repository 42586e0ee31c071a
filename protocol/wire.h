// The datagram format shared with the DB node: a 20-byte little-endian
// header, then the payload. Used by the client and by the DB-node simulator.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "protocol/flight_plan.h"

constexpr std::size_t kHeaderSize = 20;

enum MsgClass : std::int32_t { kClassData = 1, kClassControl = 2 };
enum MsgType : std::int32_t {
    kMsgVarUpdate = 3,   // class 1
    kMsgFlightPlan = 10, // class 1
    kMsgKeepAlive = 9,   // class 2 (itemCount 0 from the client: address request)
    kMsgAddressReply = 5 // class 2
};

struct DatagramHeader {
    std::int32_t msgClass;
    std::int32_t msgType;
    std::int32_t sequence;
    std::int32_t itemCount;
    std::int32_t senderId;
};

inline void PutInt32(unsigned char* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<unsigned char>(u);
    p[1] = static_cast<unsigned char>(u >> 8);
    p[2] = static_cast<unsigned char>(u >> 16);
    p[3] = static_cast<unsigned char>(u >> 24);
}

inline std::int32_t GetInt32(const unsigned char* p) {
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(u);
}

inline void PutDouble(unsigned char* p, double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, 8);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

inline double GetDouble(const unsigned char* p) {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

inline void EncodeHeader(unsigned char* p, const DatagramHeader& h) {
    PutInt32(p + 0, h.msgClass);
    PutInt32(p + 4, h.msgType);
    PutInt32(p + 8, h.sequence);
    PutInt32(p + 12, h.itemCount);
    PutInt32(p + 16, h.senderId);
}

inline DatagramHeader DecodeHeader(const unsigned char* p) {
    return DatagramHeader{GetInt32(p + 0), GetInt32(p + 4), GetInt32(p + 8), GetInt32(p + 12),
                          GetInt32(p + 16)};
}

// Largest datagram this client builds: header plus a text payload of the
// selected address (at most 100 characters) and three numbers.
constexpr std::size_t kMaxOutgoingSize = 256;

constexpr std::size_t kIntUpdateSize = kHeaderSize + 4 + 4;   // 28
constexpr std::size_t kRealUpdateSize = kHeaderSize + 4 + 8;  // 32

// One-item integer variable update; writes kIntUpdateSize bytes.
inline std::size_t BuildIntUpdate(unsigned char* out, std::int32_t sequence, std::int32_t senderId,
                                  std::int32_t index, std::int32_t value) {
    EncodeHeader(out, DatagramHeader{kClassData, kMsgVarUpdate, sequence, 1, senderId});
    PutInt32(out + kHeaderSize, index);
    PutInt32(out + kHeaderSize + 4, value);
    return kIntUpdateSize;
}

// One-item real variable update; writes kRealUpdateSize bytes.
inline std::size_t BuildRealUpdate(unsigned char* out, std::int32_t sequence, std::int32_t senderId,
                                   std::int32_t index, double value) {
    EncodeHeader(out, DatagramHeader{kClassData, kMsgVarUpdate, sequence, 1, senderId});
    PutInt32(out + kHeaderSize, index);
    PutDouble(out + kHeaderSize + 4, value);
    return kRealUpdateSize;
}

// Keep-alive (itemCount 1) or address request (itemCount 0) with the text
// payload already formatted; the text goes without its NUL. Returns the
// datagram length, or 0 when it does not fit `capacity`.
inline std::size_t BuildControlText(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                                    std::int32_t itemCount, std::int32_t senderId, const char* text) {
    const std::size_t textLength = std::strlen(text);
    if (capacity < kHeaderSize || textLength > capacity - kHeaderSize) return 0;
    EncodeHeader(out, DatagramHeader{kClassControl, kMsgKeepAlive, sequence, itemCount, senderId});
    std::memcpy(out + kHeaderSize, text, textLength);
    return kHeaderSize + textLength;
}

// Keep-alive to the DB node: a blank, then address, port and version.
inline std::size_t BuildKeepAlive(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                                  std::int32_t senderId, const char* ip, int port, int versionMajor,
                                  int versionMinor) {
    char text[kMaxOutgoingSize];
    const int n = std::snprintf(text, sizeof text, " %s %d %d %d", ip, port, versionMajor, versionMinor);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof text) return 0;
    return BuildControlText(out, capacity, sequence, 1, senderId, text);
}

// Address request broadcast while the link is down: the same values, no
// leading blank, ending in a line feed.
inline std::size_t BuildAddressRequest(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                                       std::int32_t senderId, const char* ip, int port,
                                       int versionMajor, int versionMinor) {
    char text[kMaxOutgoingSize];
    const int n = std::snprintf(text, sizeof text, "%s %d %d %d\n", ip, port, versionMajor, versionMinor);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof text) return 0;
    return BuildControlText(out, capacity, sequence, 0, senderId, text);
}
