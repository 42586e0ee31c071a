#include "link/address_choice.h"

#include "link/link_state.h"

HostAddressChoice ChooseHostAddresses(const std::vector<std::string>& addresses) {
    HostAddressChoice choice;
    for (const std::string& a : addresses) {
        choice.boundIp = a;
        const bool outside127 = a.compare(0, 3, "127") != 0;
        if (outside127) choice.selectedIp = a;
        choice.selected.push_back(outside127);
    }
    if (choice.selectedIp.empty()) choice.selectedIp = choice.boundIp;
    return choice;
}

BroadcastChoice ComputeBroadcast(std::uint32_t address, std::uint32_t mask) {
    const std::uint32_t network = address & mask;
    const std::uint32_t broadcast = ~mask | network;
    return BroadcastChoice{address, mask, network,
                           platform::Ipv4Endpoint{broadcast, static_cast<std::uint16_t>(kBroadcastPort)}};
}

std::optional<BroadcastChoice> ChooseBroadcast(const std::vector<platform::Adapter>& adapters) {
    if (adapters.empty()) return std::nullopt;
    const platform::Adapter& last = adapters.back();
    std::uint32_t address;
    std::uint32_t mask;
    if (!platform::ParseIpv4(last.address.c_str(), &address) ||
        !platform::ParseIpv4(last.mask.c_str(), &mask)) {
        return std::nullopt;
    }
    return ComputeBroadcast(address, mask);
}
