#include "link/address_choice.h"

#include <algorithm>
#include <cctype>

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

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool Matches(const platform::Adapter& adapter, const std::string& key) {
    if (SameIgnoringCase(adapter.name, key) || SameIgnoringCase(adapter.description, key) ||
        adapter.address == key) {
        return true;
    }
    return std::find(adapter.addresses.begin(), adapter.addresses.end(), key) != adapter.addresses.end();
}

}  // namespace

std::optional<std::size_t> ChooseAdapter(const std::vector<platform::Adapter>& adapters, const std::string& key) {
    if (adapters.empty()) return std::nullopt;
    if (key.empty()) return adapters.size() - 1;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        if (Matches(adapters[i], key)) return i;
    }
    return std::nullopt;
}

std::optional<BroadcastChoice> BroadcastOf(const platform::Adapter& adapter) {
    std::uint32_t address;
    std::uint32_t mask;
    if (!platform::ParseIpv4(adapter.address.c_str(), &address) ||
        !platform::ParseIpv4(adapter.mask.c_str(), &mask)) {
        return std::nullopt;
    }
    return ComputeBroadcast(address, mask);
}

std::optional<BroadcastChoice> ChooseBroadcast(const std::vector<platform::Adapter>& adapters,
                                               const std::string& key) {
    const std::optional<std::size_t> index = ChooseAdapter(adapters, key);
    if (!index) return std::nullopt;
    return BroadcastOf(adapters[*index]);
}

LinkPlan PlanLink(const NetworkKeywords& keywords, platform::AdapterListStatus status,
                  std::vector<platform::Adapter> adapters) {
    LinkPlan plan;
    plan.adapterStatus = status;
    plan.adapters = std::move(adapters);
    const bool read = status == platform::AdapterListStatus::Ok;
    if (!keywords.adapter.empty()) {
        const std::optional<std::size_t> index =
            read ? ChooseAdapter(plan.adapters, keywords.adapter) : std::nullopt;
        plan.adapterMissing = !index.has_value();
        if (index) plan.chosen = plan.adapters[*index];
    }
    if (read) plan.broadcast = ChooseBroadcast(plan.adapters, keywords.adapter);
    if (keywords.dbNode) {
        plan.requestsTo = platform::Ipv4Endpoint{*keywords.dbNode, static_cast<std::uint16_t>(kBroadcastPort)};
    } else if (plan.broadcast) {
        plan.requestsTo = plan.broadcast->broadcast;
    }
    return plan;
}
