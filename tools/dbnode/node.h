// The DB node's behaviour, without sockets: what it answers to each datagram,
// what it sends as time passes, and what each script command does. Outgoing
// datagrams are returned to the caller, which owns the sockets.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "protocol/flight_plan.h"
#include "tools/dbnode/aircraft_model.h"
#include "tools/dbnode/client_counter.h"
#include "tools/dbnode/script.h"
#include "tools/dbnode/var_store.h"

namespace dbnode {

struct Endpoint {
    std::uint32_t address = 0;  // host byte order
    std::uint16_t port = 0;
};

struct Outgoing {
    Endpoint to;
    std::vector<unsigned char> bytes;
};

struct NodeConfig {
    std::string address = "127.0.0.1";  // announced in address replies
    int dataPort = 9100;
    double speedup = 1.0;
    double rateHz = 10.0;
    double keepAliveSec = 2.0;
    double fullRefreshSec = 2.0;
    double posEverySec = 1.0;  // 0: no position lines
    std::string planFile;
    int planSerial = 1;
    bool armNav = false;
    bool connected = true;  // variable 52
    bool airborne = false;
    double start[5] = {};  // lat, lon, heading, altitude, speed
};

enum class ArmState { kOff, kWaitForReset, kArmed };

struct SetRecord {
    double value = 0;
    int count = 0;
};

struct Node {
    NodeConfig config;
    std::FILE* out = stdout;
    VarStore store;
    AircraftModel model;
    double modelCarry = 0;
    double simTime = 0;
    double lastTime = 0;  // real seconds of the last Tick
    bool haveClient = false;
    Endpoint client;
    std::int32_t sequence = 0;
    double nextUpdate = 0;
    double nextKeepAlive = 0;
    double nextFullRefresh = 0;
    double nextPosition = 0;
    double silentUntil = -1;
    bool updatesOn = true;
    bool havePlan = false;
    FlightPlan plan{};
    ArmState arm = ArmState::kOff;
    int activePoint = -1;
    // What the client has sent
    int requests = 0;
    int keepAlivesIn = 0;
    int updatesIn = 0;
    int setsIn = 0;
    int badIn = 0;
    ClientCounter clientCounter;  // streamed as 233 and 234
    std::map<int, SetRecord> sets;
};

// Sets the node up from its configuration (model start, variable 52, plan file).
// Returns false with a message when the plan file cannot be read.
bool InitNode(Node* node, const NodeConfig& config, std::FILE* out, std::string* error);

// The addresses a node may send to: loopback and the private ranges. Its
// start-up check has made sure that these reach only the test's namespace.
bool IsTestAddress(std::uint32_t address);

// A datagram on the address-request port.
void HandleRequestDatagram(Node* node, const unsigned char* data, std::size_t length,
                           std::vector<Outgoing>* sends);
// A datagram on the node's data port.
void HandleDataDatagram(Node* node, const unsigned char* data, std::size_t length,
                        std::vector<Outgoing>* sends);
// Advances the model to real time `now` and sends what is due.
void TickNode(Node* node, double now, std::vector<Outgoing>* sends);
// Runs one script command (wait is the caller's business). Returns false for quit.
bool ExecuteCommand(Node* node, const Command& command, double now, std::vector<Outgoing>* sends);

void PrintReport(Node* node);

bool IsSilent(const Node& node, double now);

}  // namespace dbnode
