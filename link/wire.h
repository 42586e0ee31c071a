// The datagram format shared with the DB node: a 20-byte little-endian
// header, then the payload. Used by the client and by the DB-node simulator.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr std::size_t kHeaderSize = 20;

enum MsgClass : std::int32_t { kClassData = 1, kClassControl = 2 };
enum MsgType : std::int32_t {
    kTypeVarUpdate = 3,   // class 1
    kTypeFlightPlan = 10, // class 1
    kTypeKeepAlive = 9,   // class 2 (itemCount 0 from the client: address request)
    kTypeAddressReply = 5 // class 2
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
