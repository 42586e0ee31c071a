#include "tools/dbnode/codec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "protocol/wire.h"
#include "tools/dbnode/var_types.h"

namespace dbnode {

std::size_t EncodeUpdate(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                         const UpdateItem* items, int count, int* encodedCount) {
    *encodedCount = 0;
    if (capacity < kHeaderSize) return 0;
    std::size_t at = kHeaderSize;
    int encoded = 0;
    for (int i = 0; i < count; ++i) {
        const int index = items[i].index;
        const std::size_t width = ValueWidth(index);
        if (width == 0) continue;
        if (at + 4 + width > capacity) break;
        PutInt32(out + at, index);
        if (width == 4) {
            PutInt32(out + at + 4, static_cast<std::int32_t>(items[i].value));
        } else {
            PutDouble(out + at + 4, items[i].value);
        }
        at += 4 + width;
        ++encoded;
    }
    if (encoded == 0) return 0;
    EncodeHeader(out, DatagramHeader{kClassData, kMsgVarUpdate, sequence, encoded, kNodeSenderId});
    *encodedCount = encoded;
    return at;
}

const char* DecodeStatusName(DecodeStatus status) {
    switch (status) {
        case DecodeStatus::kOk: return "ok";
        case DecodeStatus::kShort: return "shorter than a header";
        case DecodeStatus::kNotUpdate: return "not an update";
        case DecodeStatus::kBadIndex: return "index out of range";
        case DecodeStatus::kBadType: return "variable without a value type";
        case DecodeStatus::kTruncated: return "items run past the end";
    }
    return "?";
}

DecodeStatus DecodeUpdate(const unsigned char* data, std::size_t length,
                          std::vector<UpdateItem>* items) {
    items->clear();
    if (length < kHeaderSize) return DecodeStatus::kShort;
    const DatagramHeader h = DecodeHeader(data);
    if (h.msgClass != kClassData || h.msgType != kMsgVarUpdate) return DecodeStatus::kNotUpdate;
    if (h.itemCount < 0) return DecodeStatus::kTruncated;
    std::size_t at = kHeaderSize;
    for (std::int32_t i = 0; i < h.itemCount; ++i) {
        if (at + 4 > length) return DecodeStatus::kTruncated;
        const std::int32_t index = GetInt32(data + at);
        if (index < 0 || index >= kVarCapacity) return DecodeStatus::kBadIndex;
        const std::size_t width = ValueWidth(index);
        if (width == 0) return DecodeStatus::kBadType;
        if (at + 4 + width > length) return DecodeStatus::kTruncated;
        const double value = width == 4 ? static_cast<double>(GetInt32(data + at + 4))
                                        : GetDouble(data + at + 4);
        items->push_back(UpdateItem{index, value});
        at += 4 + width;
    }
    return DecodeStatus::kOk;
}

std::size_t EncodeKeepAlive(unsigned char* out, std::size_t capacity, std::int32_t sequence) {
    static const char kText[] = " dbnode";
    const std::size_t textLength = sizeof kText - 1;
    if (capacity < kHeaderSize + textLength) return 0;
    EncodeHeader(out, DatagramHeader{kClassControl, kMsgKeepAlive, sequence, 1, kNodeSenderId});
    std::memcpy(out + kHeaderSize, kText, textLength);
    return kHeaderSize + textLength;
}

std::size_t EncodeAddressReply(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                               const std::string& address, int port) {
    char text[128];
    const int n = std::snprintf(text, sizeof text, "%s %d", address.c_str(), port);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof text) return 0;
    const auto textLength = static_cast<std::size_t>(n);
    if (capacity < kHeaderSize + textLength) return 0;
    EncodeHeader(out, DatagramHeader{kClassControl, kMsgAddressReply, sequence, 0, kNodeSenderId});
    std::memcpy(out + kHeaderSize, text, textLength);
    return kHeaderSize + textLength;
}

std::size_t EncodeFlightPlan(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                             const FlightPlan& plan) {
    if (capacity < kHeaderSize + kFlightPlanSize) return 0;
    EncodeHeader(out, DatagramHeader{kClassData, kMsgFlightPlan, sequence, 1, kNodeSenderId});
    // The record is laid out exactly as on the wire (little-endian, no padding).
    std::memcpy(out + kHeaderSize, &plan, kFlightPlanSize);
    return kHeaderSize + kFlightPlanSize;
}

bool ParseAddressRequest(const unsigned char* payload, std::size_t length, AddressRequest* out) {
    char text[256];
    if (length >= sizeof text) return false;
    std::memcpy(text, payload, length);
    text[length] = '\0';
    char address[64];
    int port = 0;
    int major = 0;
    int minor = 0;
    if (std::sscanf(text, "%63s %d %d %d", address, &port, &major, &minor) != 4) return false;
    if (port <= 0 || port > 65535) return false;
    out->address = address;
    out->port = port;
    out->versionMajor = major;
    out->versionMinor = minor;
    return true;
}

}  // namespace dbnode
