// The node's script commands: what each one does to the node and sends.
#include <algorithm>
#include <cstring>
#include <string>

#include "protocol/vars.h"
#include "protocol/wire.h"
#include "tools/dbnode/node.h"
#include "tools/dbnode/node_ops.h"
#include "tools/dbnode/plan_file.h"

namespace dbnode {
namespace {

bool ClientListens(const Node& node, double now) { return node.haveClient && !IsSilent(node, now); }

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

// Stores a value as if the simulator had changed it and sends it at once.
void SendVariable(Node* node, const Command& c, double now, std::vector<Outgoing>* sends) {
    StoreValue(&node->store, c.index, c.numbers[0], true);
    char text[64];
    FormatValue(c.index, c.numbers[0], text, sizeof text);
    Print(node, "SEND %d = %s", c.index, text);
    ApplyToModel(node, c.index, c.numbers[0]);
    if (ClientListens(*node, now)) {
        node->store.dirty[static_cast<std::size_t>(c.index)] = false;
        SendItems(node, {UpdateItem{c.index, ValueOf(node->store, c.index)}}, sends);
    }
}

void SendBadIfConnected(Node* node, BadKind kind, std::vector<Outgoing>* sends) {
    if (!node->haveClient) {
        Print(node, "NO CLIENT: bad datagram not sent");
        return;
    }
    SendBad(node, kind, sends);
}

// Without a serial the plan takes the next one after the plan it replaces.
void LoadPlan(Node* node, const Command& c, double now, std::vector<Outgoing>* sends) {
    const int serial = c.hasSerial ? static_cast<int>(c.numbers[0])
                                   : (node->havePlan ? node->plan.serial + 1 : node->config.planSerial);
    FlightPlan plan;
    std::string error;
    if (!LoadPlanFile(c.text, serial, &plan, &error)) {
        Print(node, "PLAN ERROR %s", error.c_str());
        return;
    }
    node->plan = plan;
    node->havePlan = true;
    if (ClientListens(*node, now)) {
        SendPlan(node, sends);
    } else {
        Print(node, "PLAN LOADED serial %d points %d (sent on connect)", plan.serial, plan.pointCount);
    }
}

void GoAirborne(Node* node, const double* n) {
    node->config.airborne = true;
    std::copy(n, n + 5, node->config.start);
    StartAirborne(&node->model, n[0], n[1], n[2], n[3], n[4]);
    Print(node, "AIRBORNE %.6f %.6f HDG %.1f ALT %.0f SPD %.0f", n[0], n[1], n[2], n[3], n[4]);
}

void SetArmNav(Node* node, bool on) {
    node->config.armNav = on;
    if (!on) node->arm = ArmState::kOff;
    Print(node, "ARMNAV %s", on ? "ON" : "OFF");
}

void SetConnected(Node* node, bool on) {
    node->config.connected = on;
    StoreValue(&node->store, var::SimConnected, on ? 1 : 0, true);
    Print(node, "CONNECTED %d", on ? 1 : 0);
}

}  // namespace

bool ExecuteCommand(Node* node, const Command& c, double now, std::vector<Outgoing>* sends) {
    switch (c.kind) {
        case CommandKind::kNone:
        case CommandKind::kWait: break;
        case CommandKind::kSend: SendVariable(node, c, now, sends); break;
        case CommandKind::kSilent:
            node->silentUntil = now + c.numbers[0];
            Print(node, "SILENT %.1f s", c.numbers[0]);
            break;
        case CommandKind::kUpdates:
            node->updatesOn = c.flag;
            Print(node, "UPDATES %s", c.flag ? "ON" : "OFF");
            break;
        case CommandKind::kBad: SendBadIfConnected(node, c.bad, sends); break;
        case CommandKind::kPlan: LoadPlan(node, c, now, sends); break;
        case CommandKind::kAirborne: GoAirborne(node, c.numbers); break;
        case CommandKind::kArmNav: SetArmNav(node, c.flag); break;
        case CommandKind::kConnected: SetConnected(node, c.flag); break;
        case CommandKind::kSpeedup:
            node->config.speedup = c.numbers[0];
            Print(node, "SPEEDUP %g", c.numbers[0]);
            break;
        case CommandKind::kRate:
            node->config.rateHz = c.numbers[0];
            Print(node, "RATE %g", c.numbers[0]);
            break;
        case CommandKind::kReport: PrintReport(node); break;
        case CommandKind::kRestart:
            ResetState(node);
            Print(node, "RESTART");
            break;
        case CommandKind::kQuit: return false;
    }
    return true;
}

}  // namespace dbnode
