// The command language of the node's scripting interface, read from standard
// input and from scenario files, one command a line:
//   send <index> <value>    set a variable and send it in an update now
//   silent <seconds>        send nothing at all (keep-alives included)
//   updates on|off          stop or resume variable updates (keep-alives go on)
//   bad <kind>              send one malformed datagram (see BadKind)
//   plan <file> [serial]    load a plan file and send it
//   airborne <lat> <lon> <heading> <altitude> <speed>
//   armnav on|off           arm LNAV and VNAV once the client has reset for a plan
//   connected 0|1           what variable 52 reports
//   speedup <factor>        simulated seconds per real second
//   rate <hertz>            updates per real second
//   wait <seconds>          pause the script
//   report                  print what the client has sent so far
//   restart                 forget the client and the sets, as a restarted node
//   quit
// '#' starts a comment line.
#pragma once
#include <string>

namespace dbnode {

enum class CommandKind {
    kNone,  // blank or comment
    kSend,
    kSilent,
    kUpdates,
    kBad,
    kPlan,
    kAirborne,
    kArmNav,
    kConnected,
    kSpeedup,
    kRate,
    kWait,
    kReport,
    kRestart,
    kQuit,
};

enum class BadKind {
    kShort,      // 10 bytes, shorter than a header
    kIndex,      // an update naming index 236 (beyond the client's table)
    kType,       // an update naming variable 168, which has no type
    kOversize,   // 5000 bytes: fills the client's whole receive buffer
    kTruncated,  // an update whose item count runs past the data
    kPlanSize,   // a flight plan one byte short
    kAddress,    // an address reply with no port
};

struct Command {
    CommandKind kind = CommandKind::kNone;
    int index = 0;
    double numbers[5] = {};
    bool flag = false;
    BadKind bad = BadKind::kShort;
    std::string text;  // plan file
    bool hasSerial = false;
};

// Parses one line. Returns false (with a reason) for a line that is not a command.
bool ParseCommand(const std::string& line, Command* out, std::string* error);

}  // namespace dbnode
