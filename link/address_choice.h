// The pure decisions of network start-up: which host address the monitor
// socket binds and announces, the adapter the parameter file names, and
// where address requests go. Nothing here opens a socket or writes a line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/net.h"

struct HostAddressChoice {
    std::string boundIp = "0.0.0.0";  // the monitor socket binds this
    std::string selectedIp;           // announced to the DB node
    std::vector<bool> selected;       // per address of the list: selected at its turn
};

// The walk over a resolved list: every address becomes the bound one; one
// not beginning with "127" becomes the selected one. With nothing outside
// 127 (or no list at all) the bound address is announced.
HostAddressChoice ChooseHostAddresses(const std::vector<std::string>& addresses);

struct BroadcastChoice {
    std::uint32_t address;
    std::uint32_t mask;
    std::uint32_t network;
    platform::Ipv4Endpoint broadcast;  // port 9019
};

// Network and broadcast address of an address and its mask.
BroadcastChoice ComputeBroadcast(std::uint32_t address, std::uint32_t mask);

// The adapter whose name, description or one of whose addresses equals
// `key` without regard to case (the parameter file lower-cases its values).
// An empty key chooses the last adapter, as the list alone decides. Nothing
// when the list is empty or no adapter matches.
std::optional<std::size_t> ChooseAdapter(const std::vector<platform::Adapter>& adapters, const std::string& key);

// The broadcast of an adapter's first address and mask; nothing when either
// is not dotted IPv4 text.
std::optional<BroadcastChoice> BroadcastOf(const platform::Adapter& adapter);

// The adapter that `key` chooses decides (see ChooseAdapter).
std::optional<BroadcastChoice> ChooseBroadcast(const std::vector<platform::Adapter>& adapters,
                                               const std::string& key = std::string());

// The parameter file's say in where the link looks for the DB node.
struct NetworkKeywords {
    // Adapter name, description or address: that adapter's first address is
    // bound and announced, and its network is the one broadcast to. Empty:
    // the host address list and the last adapter decide.
    std::string adapter;
    // When set, address requests go to this address (port 9019) alone,
    // never to a broadcast address.
    std::optional<std::uint32_t> dbNode;
};

// The link's endpoints as the adapter list and the keywords choose them.
struct LinkPlan {
    platform::AdapterListStatus adapterStatus = platform::AdapterListStatus::Ok;
    std::vector<platform::Adapter> adapters;   // as read, for the start-up lines
    bool adapterMissing = false;               // the keyword names no adapter: stop
    std::optional<platform::Adapter> chosen;   // the adapter the keyword names
    std::optional<BroadcastChoice> broadcast;  // of that adapter, else of the last
    std::optional<platform::Ipv4Endpoint> requestsTo;  // the DB node's, else the broadcast
};

// `status` and `adapters`: the adapter list as it was read.
LinkPlan PlanLink(const NetworkKeywords& keywords, platform::AdapterListStatus status,
                  std::vector<platform::Adapter> adapters);
