// Building and reading the datagrams the node exchanges with the client.
// Item widths come from the variable types (var_types.h); nothing on the
// wire says how wide a value is.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/flight_plan.h"

namespace dbnode {

constexpr std::int32_t kNodeSenderId = 1;
constexpr std::size_t kMaxDatagram = 4096;  // the client's buffer is 5000 bytes
constexpr int kMaxItemsPerUpdate = 150;     // 20 + 150 * 12 stays well inside it

struct UpdateItem {
    std::int32_t index;
    double value;  // integers are carried exactly in a double
};

// Encodes an update (class 1, type 3). Items whose variable cannot travel are
// skipped; returns the datagram length, or 0 when nothing fits in `capacity`.
std::size_t EncodeUpdate(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                         const UpdateItem* items, int count, int* encodedCount);

enum class DecodeStatus { kOk, kShort, kNotUpdate, kBadIndex, kBadType, kTruncated };
const char* DecodeStatusName(DecodeStatus status);

// Reads every item of an update. The index is taken whole (the client always
// sends the full 32-bit index); it must name an integer or real variable.
DecodeStatus DecodeUpdate(const unsigned char* data, std::size_t length,
                          std::vector<UpdateItem>* items);

std::size_t EncodeKeepAlive(unsigned char* out, std::size_t capacity, std::int32_t sequence);
std::size_t EncodeAddressReply(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                               const std::string& address, int port);
std::size_t EncodeFlightPlan(unsigned char* out, std::size_t capacity, std::int32_t sequence,
                             const FlightPlan& plan);

// The text of an address request: "<address> <port> <major> <minor>".
struct AddressRequest {
    std::string address;
    int port = 0;
    int versionMajor = 0;
    int versionMinor = 0;
};
bool ParseAddressRequest(const unsigned char* payload, std::size_t length, AddressRequest* out);

}  // namespace dbnode
