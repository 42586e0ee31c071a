// The receiver thread: takes each datagram from the monitor socket and acts
// on it (variable updates, flight plans, keep-alives, address replies).
#pragma once
#include <cstddef>
#include <cstdint>

#include "link/link_state.h"

namespace platform {
class StopSignal;
}

// Thread body started by InitUdp: GetUdpMsg until `stop` is requested (the
// owner then interrupts the blocked receive).
void ReceiverThread(platform::StopSignal& stop);

constexpr int kReceiveErrorBackoffMs = 100;

// Receives and handles one datagram from the monitor socket (HandleUdpMsg).
// A receive error is logged once per run of errors and backed off.
int GetUdpMsg();

// Handles one received datagram of `length` bytes from `from`, held in
// `buffer`, which has room for a NUL after the data: 0, or -1 for an invalid
// address reply. A datagram from another address than the DB node's (the
// one last connected to) is only counted (strayDatagrams), except an address
// reply while the link is down.
int HandleUdpMsg(const platform::Ipv4Endpoint& from, unsigned char* buffer, std::size_t length);

// Applies a variable update of `length` received bytes to the master table.
// Items that do not lie wholly inside the received bytes are not applied.
int ParseStdUpdate(const unsigned char* datagram, std::size_t length);

// Reads the address word and port of an address reply's text. false when
// either is missing, the address is longer than the link record holds or
// is no IPv4 address, or the port, however written, is outside 1 to 65535.
bool ParseAddressReply(const char* text, char (&address)[kDbAddressSize], std::int32_t* port);
