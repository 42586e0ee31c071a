#include "tools/dbnode/node.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/netns.h"
#include "protocol/var_defs.h"
#include "protocol/vars.h"
#include "protocol/wire.h"
#include "tools/dbnode/cockpit_defaults.h"
#include "tools/dbnode/codec.h"
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


std::int32_t NextSequence(Node* node) {
    node->sequence = node->sequence >= 999 ? 0 : node->sequence + 1;
    return node->sequence;
}

void Print(Node* node, const char* format, ...) __attribute__((format(printf, 2, 3)));
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

void SendBad(Node* node, BadKind kind, std::vector<Outgoing>* sends) {
    std::vector<unsigned char> d;
    const char* name = "";
    auto header = [&](std::int32_t cls, std::int32_t type, std::int32_t count, std::size_t size) {
        d.assign(std::max(size, kHeaderSize), 0);
        EncodeHeader(d.data(), DatagramHeader{cls, type, NextSequence(node), count, kNodeSenderId});
    };
    switch (kind) {
        case BadKind::kShort:
            header(kClassData, kMsgVarUpdate, 1, kHeaderSize);
            d.resize(10);
            name = "short";
            break;
        case BadKind::kIndex:
            header(kClassData, kMsgVarUpdate, 1, kHeaderSize + 8);
            PutInt32(d.data() + kHeaderSize, 236);
            name = "index";
            break;
        case BadKind::kType:
            header(kClassData, kMsgVarUpdate, 1, kHeaderSize + 8);
            PutInt32(d.data() + kHeaderSize, 168);
            name = "type";
            break;
        case BadKind::kOversize:
            header(kClassData, kMsgVarUpdate, 0, 5000);
            name = "oversize";
            break;
        case BadKind::kTruncated:
            header(kClassData, kMsgVarUpdate, 3, kHeaderSize + 8);
            PutInt32(d.data() + kHeaderSize, 13);  // an integer variable
            name = "truncated";
            break;
        case BadKind::kPlanSize:
            header(kClassData, kMsgFlightPlan, 1, kHeaderSize + kFlightPlanSize - 1);
            name = "plansize";
            break;
        case BadKind::kAddress: {
            static const char kText[] = "127.0.0.1";
            header(kClassControl, kMsgAddressReply, 0, kHeaderSize + sizeof kText - 1);
            std::memcpy(d.data() + kHeaderSize, kText, sizeof kText - 1);
            name = "address";
            break;
        }
    }
    sends->push_back(Outgoing{node->client, d});
    Print(node, "BAD SENT %s (%zu bytes)", name, d.size());
}

}  // namespace

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

bool ExecuteCommand(Node* node, const Command& c, double now, std::vector<Outgoing>* sends) {
    switch (c.kind) {
        case CommandKind::kNone:
        case CommandKind::kWait: return true;
        case CommandKind::kSend: {
            StoreValue(&node->store, c.index, c.numbers[0], true);
            char text[64];
            FormatValue(c.index, c.numbers[0], text, sizeof text);
            Print(node, "SEND %d = %s", c.index, text);
            ApplyToModel(node, c.index, c.numbers[0]);
            if (node->haveClient && !IsSilent(*node, now)) {
                node->store.dirty[static_cast<std::size_t>(c.index)] = false;
                SendItems(node, {UpdateItem{c.index, ValueOf(node->store, c.index)}}, sends);
            }
            return true;
        }
        case CommandKind::kSilent:
            node->silentUntil = now + c.numbers[0];
            Print(node, "SILENT %.1f s", c.numbers[0]);
            return true;
        case CommandKind::kUpdates:
            node->updatesOn = c.flag;
            Print(node, "UPDATES %s", c.flag ? "ON" : "OFF");
            return true;
        case CommandKind::kBad:
            if (!node->haveClient) {
                Print(node, "NO CLIENT: bad datagram not sent");
                return true;
            }
            SendBad(node, c.bad, sends);
            return true;
        case CommandKind::kPlan: {
            const int serial = c.hasSerial ? static_cast<int>(c.numbers[0])
                                           : (node->havePlan ? node->plan.serial + 1 : node->config.planSerial);
            FlightPlan plan;
            std::string error;
            if (!LoadPlanFile(c.text, serial, &plan, &error)) {
                Print(node, "PLAN ERROR %s", error.c_str());
                return true;
            }
            node->plan = plan;
            node->havePlan = true;
            if (node->haveClient && !IsSilent(*node, now)) {
                SendPlan(node, sends);
            } else {
                Print(node, "PLAN LOADED serial %d points %d (sent on connect)", plan.serial, plan.pointCount);
            }
            return true;
        }
        case CommandKind::kAirborne:
            node->config.airborne = true;
            std::copy(c.numbers, c.numbers + 5, node->config.start);
            StartAirborne(&node->model, c.numbers[0], c.numbers[1], c.numbers[2], c.numbers[3], c.numbers[4]);
            Print(node, "AIRBORNE %.6f %.6f HDG %.1f ALT %.0f SPD %.0f", c.numbers[0], c.numbers[1],
                  c.numbers[2], c.numbers[3], c.numbers[4]);
            return true;
        case CommandKind::kArmNav:
            node->config.armNav = c.flag;
            if (!c.flag) node->arm = ArmState::kOff;
            Print(node, "ARMNAV %s", c.flag ? "ON" : "OFF");
            return true;
        case CommandKind::kConnected:
            node->config.connected = c.flag;
            StoreValue(&node->store, var::SimConnected, c.flag ? 1 : 0, true);
            Print(node, "CONNECTED %d", c.flag ? 1 : 0);
            return true;
        case CommandKind::kSpeedup:
            node->config.speedup = c.numbers[0];
            Print(node, "SPEEDUP %g", c.numbers[0]);
            return true;
        case CommandKind::kRate:
            node->config.rateHz = c.numbers[0];
            Print(node, "RATE %g", c.numbers[0]);
            return true;
        case CommandKind::kReport: PrintReport(node); return true;
        case CommandKind::kRestart:
            ResetState(node);
            Print(node, "RESTART");
            return true;
        case CommandKind::kQuit: return false;
    }
    return true;
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
