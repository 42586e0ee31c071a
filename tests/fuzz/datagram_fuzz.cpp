// One datagram from the DB node's address, handed to the receiver as the
// receive loop hands it over. Built twice: with the link down (ORV_LINK_UP 0,
// the node's address known from an earlier connection) and with it up.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/log.h"
#include "link/link_state.h"
#include "link/receiver.h"
#include "link/var_table.h"
#include "platform/net.h"
#include "platform/sync.h"
#include "tests/fuzz/stop_catch.h"

#ifndef ORV_LINK_UP
#error "ORV_LINK_UP must be 0 or 1"
#endif

// The target opens no socket: the one an address reply opens for the link
// is a descriptor of /dev/null, which nothing here sends on.
extern "C" int socket(int, int, int) noexcept { return open("/dev/null", O_RDONLY | O_CLOEXEC); }

namespace {

// A stop abandons the receiver's frames with the data mutex held: a mutex
// that needs no release keeps the next input from waiting on it.
struct FreeMutex final : platform::Mutex {
    platform::WaitResult Wait() override { return platform::WaitResult::Acquired; }
    bool Release() override { return true; }
};
FreeMutex dataMutex, flightMutex;

const platform::Ipv4Endpoint kNode{0x0A000005, 9100};  // 10.0.0.5

struct Input {
    unsigned char* bytes;
    std::size_t size;
};

void Handle(void* context) {
    auto* input = static_cast<Input*>(context);
    HandleUdpMsg(kNode, input->bytes, input->size);
}

void Setup() {
    StartLog("/dev/null");  // every line is formatted, none is kept
    InitDB();
    DataMutex = &dataMutex;
    FlightMutex = &flightMutex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (Setup(), true);
    (void)ready;
    // The link as the input finds it: the node's address from the last
    // connection, up or down; a socket an earlier input opened is let go.
    if (DbLink.socket != platform::kInvalidSocket) platform::CloseSocket(DbLink.socket);
    DbLink = DbLinkRecord{};
    DbLink.socket = platform::kInvalidSocket;
    DbLink.port = kNode.port;
    std::strcpy(DbLink.address, "10.0.0.5");
    DbLink.endpoint = kNode;
    linkConnected.store(ORV_LINK_UP != 0);
    // Room for the NUL the receiver puts after the data.
    std::vector<unsigned char> buffer(data, data + size);
    buffer.push_back(0);
    Input input{buffer.data(), size};
    fuzz::RunCatchingStops(Handle, &input);
    return 0;
}
