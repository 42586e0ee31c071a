// The pure decisions of network start-up: which host address the monitor
// socket binds and announces, and the broadcast address of the network.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/net.h"

struct HostAddressChoice {
    std::string boundIp = "0.0.0.0";  // the monitor socket binds this
    std::string selectedIp;           // announced to the DB node
};

// One step of the walk over the resolved addresses: every address becomes
// the bound one; one not beginning with "127" becomes the selected one.
// Returns true when the address was selected.
bool TakeHostAddress(const std::string& address, HostAddressChoice* choice);

// Last step: with nothing outside 127 the bound address is announced.
void FinishHostAddressChoice(HostAddressChoice* choice);

// The whole walk over a resolved list.
HostAddressChoice ChooseHostAddresses(const std::vector<std::string>& addresses);

struct BroadcastChoice {
    std::uint32_t address;
    std::uint32_t mask;
    std::uint32_t network;
    platform::Ipv4Endpoint broadcast;  // port 9019
};

// Network and broadcast address of an address and its mask.
BroadcastChoice ComputeBroadcast(std::uint32_t address, std::uint32_t mask);

// The last adapter of the list decides; nothing when the list is empty or
// its address or mask is not dotted IPv4 text.
std::optional<BroadcastChoice> ChooseBroadcast(const std::vector<platform::Adapter>& adapters);
