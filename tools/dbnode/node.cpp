#include "tools/dbnode/node.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>

#include "platform/netns.h"
#include "protocol/var_defs.h"
#include "protocol/vars.h"
#include "protocol/wire.h"
#include "tools/dbnode/cockpit_defaults.h"
#include "tools/dbnode/codec.h"
#include "tools/dbnode/node_ops.h"
#include "tools/dbnode/plan_file.h"

namespace dbnode {
namespace {

bool ParseDotted(const std::string& text, std::uint32_t* out) {
    std::uint32_t value = 0;
    int parts = 0;
    const char* p = text.c_str();
    while (parts < 4) {
        if (*p < '0' || *p > '9') return false;
        char* end = nullptr;
        const long part = std::strtol(p, &end, 10);
        if (part > 255 || end - p > 3) return false;
        value = (value << 8) | static_cast<std::uint32_t>(part);
        ++parts;
        p = end;
        if (parts < 4) {
            if (*p != '.') return false;
            ++p;
        }
    }
    if (*p != '\0') return false;
    *out = value;
    return true;
}

// The client's master reset for a new plan clears LNAV and VNAV armed and
// then sets the active point; arming after that is what a user would do.
void WatchForArming(Node* node, int index, double value) {
    if (node->arm != ArmState::kWaitForReset || index != var::ActivePoint || value != 0) return;
    StoreValue(&node->store, var::LnavArmed, 1, true);
    StoreValue(&node->store, var::VnavArmed, 1, true);
    node->arm = ArmState::kArmed;
    Print(node, "ARMED LNAV VNAV");
}

using Report = std::vector<std::pair<int, double>>;

Report ReportOf(const AircraftModel& model) {
    Report report;
    ReportVariables(model, [&](int index, double value) { report.emplace_back(index, value); });
    return report;
}

// Counts a datagram from the client for the Status panel's counters.
void CountFromClient(Node* node, const unsigned char* data, std::size_t length) {
    const std::int32_t sequence = length >= kHeaderSize ? DecodeHeader(data).sequence : -1;
    CountClientDatagram(&node->clientCounter, sequence);
    StoreValue(&node->store, var::TotalCMsgs, node->clientCounter.total);
    StoreValue(&node->store, var::MissedCMsgs, node->clientCounter.missed);
}

void ApplySet(Node* node, int index, double value) {
    char text[64];
    FormatValue(index, value, text, sizeof text);
    Print(node, "SET %d = %s", index, text);
    ++node->setsIn;
    SetRecord& record = node->sets[index];
    record.value = value;
    ++record.count;
    StoreValue(&node->store, index, value, true);
    ApplyToModel(node, index, value);
    if (index == var::ActivePoint) {
        const int point = static_cast<int>(value);
        if (point != node->activePoint) {
            if (point < 0) {
                Print(node, "ACTIVE POINT NONE");
            } else {
                Print(node, "ACTIVE POINT %d", point);
            }
            node->activePoint = point;
        }
    }
    WatchForArming(node, index, value);
}

}  // namespace

std::int32_t NextSequence(Node* node) {
    node->sequence = node->sequence >= 999 ? 0 : node->sequence + 1;
    return node->sequence;
}

void Print(Node* node, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(node->out, format, args);
    va_end(args);
    std::fputc('\n', node->out);
    std::fflush(node->out);
}

void Queue(std::vector<Outgoing>* sends, const Endpoint& to, const unsigned char* data,
           std::size_t length) {
    sends->push_back(Outgoing{to, std::vector<unsigned char>(data, data + length)});
}

void FormatValue(int index, double value, char* buf, std::size_t size) {
    if (TypeOf(index) == VarType::kInt) {
        std::snprintf(buf, size, "%d", static_cast<std::int32_t>(value));
    } else {
        std::snprintf(buf, size, "%.10g", value);
    }
}

void ResetState(Node* node) {
    node->store = VarStore{};
    node->store.ints[var::ActivePoint] = -1;  // as the client starts
    StoreValue(&node->store, var::SimConnected, node->config.connected ? 1 : 0);
    node->model = AircraftModel{};
    node->modelCarry = 0;
    if (node->config.airborne) {
        const double* s = node->config.start;
        StartAirborne(&node->model, s[0], s[1], s[2], s[3], s[4]);
    }
    SeedCockpitDefaults(&node->store);
    ReportVariables(node->model, [&](int index, double value) { StoreValue(&node->store, index, value); });
    node->clientCounter = ClientCounter{};
    StoreValue(&node->store, var::TotalCMsgs, 0);
    StoreValue(&node->store, var::MissedCMsgs, 0);
    node->haveClient = false;
    node->activePoint = -1;
    node->arm = ArmState::kOff;
    node->sets.clear();
}

void SendPlan(Node* node, std::vector<Outgoing>* sends) {
    unsigned char buf[kHeaderSize + kFlightPlanSize];
    const std::size_t n = EncodeFlightPlan(buf, sizeof buf, NextSequence(node), node->plan);
    Queue(sends, node->client, buf, n);
    Print(node, "PLAN SENT serial %d points %d", node->plan.serial, node->plan.pointCount);
    if (node->config.armNav) node->arm = ArmState::kWaitForReset;
}

void SendItems(Node* node, const std::vector<UpdateItem>& items, std::vector<Outgoing>* sends) {
    unsigned char buf[kMaxDatagram];
    std::size_t at = 0;
    while (at < items.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(kMaxItemsPerUpdate, items.size() - at));
        int encoded = 0;
        const std::size_t n = EncodeUpdate(buf, sizeof buf, NextSequence(node), items.data() + at, count, &encoded);
        if (n > 0) Queue(sends, node->client, buf, n);
        at += static_cast<std::size_t>(count);
    }
}

// Gives a set to the model and stores at once what it changed in the
// reported state, printing each change under the SET line: "  -> 170 = 1
// autopilot engaged". The set variable itself is echoed by the caller.
void ApplyToModel(Node* node, int index, double value) {
    const Report before = ReportOf(node->model);
    if (!ApplyVariable(&node->model, index, value)) return;
    const Report after = ReportOf(node->model);
    for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
        const auto [reported, now] = after[i];
        if (now == before[i].second || reported == index) continue;
        StoreValue(&node->store, reported, now);
        char text[64];
        FormatValue(reported, now, text, sizeof text);
        const char* name = VarLabel(reported);
        Print(node, "  -> %d = %s%s%s", reported, text, *name != '\0' ? " " : "", name);
    }
}

bool IsTestAddress(std::uint32_t address) {
    return (address >> 24) == 127 || platform::IsPrivateIpv4(address);
}

bool IsSilent(const Node& node, double now) { return now < node.silentUntil; }

bool InitNode(Node* node, const NodeConfig& config, std::FILE* out, std::string* error) {
    node->config = config;
    node->out = out;
    ResetState(node);
    if (!config.planFile.empty()) {
        if (!LoadPlanFile(config.planFile, config.planSerial, &node->plan, error)) return false;
        node->havePlan = true;
    }
    return true;
}

void HandleRequestDatagram(Node* node, const unsigned char* data, std::size_t length,
                           std::vector<Outgoing>* sends) {
    if (length < kHeaderSize) {
        Print(node, "IGNORED short datagram on the request port (%zu bytes)", length);
        return;
    }
    const DatagramHeader h = DecodeHeader(data);
    if (h.msgClass != kClassControl || h.msgType != kMsgKeepAlive || h.itemCount != 0) {
        Print(node, "IGNORED class %d type %d on the request port", h.msgClass, h.msgType);
        return;
    }
    AddressRequest request;
    if (!ParseAddressRequest(data + kHeaderSize, length - kHeaderSize, &request)) {
        Print(node, "IGNORED address request without address and port");
        return;
    }
    ++node->requests;
    CountFromClient(node, data, length);
    Print(node, "REQUEST from %s %d version %d.%d", request.address.c_str(), request.port,
          request.versionMajor, request.versionMinor);
    Endpoint to;
    if (!ParseDotted(request.address, &to.address) || !IsTestAddress(to.address)) {
        // This node only ever talks to the test's own namespace.
        Print(node, "REFUSED %s: not a loopback or private address", request.address.c_str());
        return;
    }
    to.port = static_cast<std::uint16_t>(request.port);
    if (IsSilent(*node, node->lastTime)) {
        Print(node, "SILENT: no reply");
        return;
    }
    unsigned char buf[256];
    const std::size_t n = EncodeAddressReply(buf, sizeof buf, NextSequence(node),
                                             node->config.address, node->config.dataPort);
    node->client = to;
    node->haveClient = true;
    Queue(sends, to, buf, n);
    Print(node, "REPLY %s %d", node->config.address.c_str(), node->config.dataPort);
    node->store.dirty |= node->store.known;  // a (re)connected client gets everything
    node->nextUpdate = node->lastTime;
    node->nextKeepAlive = node->lastTime;
    if (node->havePlan) SendPlan(node, sends);
}

void HandleDataDatagram(Node* node, const unsigned char* data, std::size_t length,
                        std::vector<Outgoing>* sends) {
    (void)sends;
    CountFromClient(node, data, length);
    if (length < kHeaderSize) {
        ++node->badIn;
        Print(node, "BAD datagram: shorter than a header (%zu bytes)", length);
        return;
    }
    const DatagramHeader h = DecodeHeader(data);
    if (h.msgClass == kClassControl && h.msgType == kMsgKeepAlive) {
        ++node->keepAlivesIn;
        Print(node, "KEEPALIVE from client (%d)", node->keepAlivesIn);
        return;
    }
    if (h.msgClass == kClassData && h.msgType == kMsgVarUpdate) {
        std::vector<UpdateItem> items;
        const DecodeStatus status = DecodeUpdate(data, length, &items);
        if (status != DecodeStatus::kOk) {
            ++node->badIn;
            Print(node, "BAD update: %s (%zu bytes)", DecodeStatusName(status), length);
            return;
        }
        ++node->updatesIn;
        for (const UpdateItem& item : items) ApplySet(node, item.index, item.value);
        return;
    }
    Print(node, "IGNORED class %d type %d (%zu bytes)", h.msgClass, h.msgType, length);
}

void TickNode(Node* node, double now, std::vector<Outgoing>* sends) {
    const double elapsed = std::max(0.0, now - node->lastTime);
    node->lastTime = now;
    const double simElapsed = elapsed * node->config.speedup;
    if (!node->model.paused) node->simTime += simElapsed;
    AdvanceModel(&node->model, simElapsed, &node->modelCarry);
    // What the model changed is marked dirty and goes out in the next update.
    ReportVariables(node->model, [&](int index, double value) { StoreValue(&node->store, index, value); });

    if (node->config.posEverySec > 0 && now >= node->nextPosition) {
        node->nextPosition = now + node->config.posEverySec;
        const AircraftModel& m = node->model;
        Print(node, "POS %.6f %.6f HDG %.1f ALT %.0f SPD %.0f T %.1f", m.latitude, m.longitude,
              m.heading, m.altitude, m.speed, node->simTime);
    }

    if (!node->haveClient || IsSilent(*node, now)) return;

    if (node->updatesOn && now >= node->nextUpdate) {
        node->nextUpdate = now + 1.0 / node->config.rateHz;
        std::vector<UpdateItem> items;
        const bool full = now >= node->nextFullRefresh;
        if (full) node->nextFullRefresh = now + node->config.fullRefreshSec;
        for (int i = 0; i < kVarCapacity; ++i) {
            const auto slot = static_cast<std::size_t>(i);
            if (i >= kClientVarCount || !node->store.known[slot]) continue;
            if (full || node->store.dirty[slot]) {
                items.push_back(UpdateItem{i, ValueOf(node->store, i)});
            }
        }
        node->store.dirty.reset();
        SendItems(node, items, sends);
    }
    if (now >= node->nextKeepAlive) {
        node->nextKeepAlive = now + node->config.keepAliveSec;
        unsigned char buf[64];
        const std::size_t n = EncodeKeepAlive(buf, sizeof buf, NextSequence(node));
        Queue(sends, node->client, buf, n);
    }
}

void PrintReport(Node* node) {
    Print(node, "REPORT requests %d keepalives %d updates %d sets %d bad %d", node->requests,
          node->keepAlivesIn, node->updatesIn, node->setsIn, node->badIn);
    for (const auto& [index, record] : node->sets) {
        char text[64];
        FormatValue(index, record.value, text, sizeof text);
        Print(node, "REPORT SET %d = %s (%d times)", index, text, record.count);
    }
}

}  // namespace dbnode
