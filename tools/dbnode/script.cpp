#include "tools/dbnode/script.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "tools/dbnode/var_types.h"

namespace dbnode {
namespace {

bool Number(const std::string& word, double* out) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (word.empty() || errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool OnOff(const std::string& word, bool* out) {
    if (word == "on" || word == "1") {
        *out = true;
        return true;
    }
    if (word == "off" || word == "0") {
        *out = false;
        return true;
    }
    return false;
}

bool Bad(const std::string& word, BadKind* out) {
    static const struct {
        const char* name;
        BadKind kind;
    } kKinds[] = {{"short", BadKind::kShort},         {"index", BadKind::kIndex},
                  {"type", BadKind::kType},           {"oversize", BadKind::kOversize},
                  {"truncated", BadKind::kTruncated}, {"plansize", BadKind::kPlanSize},
                  {"address", BadKind::kAddress}};
    for (const auto& k : kKinds) {
        if (word == k.name) {
            *out = k.kind;
            return true;
        }
    }
    return false;
}

using Args = std::vector<std::string>;

// Reads the first n arguments as numbers into out->numbers.
bool Numbers(const Args& a, std::size_t n, Command* out) {
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!Number(a[i], &out->numbers[i])) return false;
    }
    return true;
}

// Each parser reads one verb's arguments into `out`: nullptr when they are
// sound, otherwise the reason they are not.

const char* ParseSend(const Args& a, Command* out) {
    if (!Numbers(a, 2, out)) return "expected send <index> <value>";
    const double index = out->numbers[0];
    if (index != std::trunc(index) || index < 0 || index >= kVarCapacity) return "no such variable";
    out->index = static_cast<int>(index);
    if (ValueWidth(out->index) == 0) return "variable has no integer or real value";
    out->numbers[0] = out->numbers[1];
    return nullptr;
}

const char* ParseSeconds(const Args& a, Command* out) {
    return Numbers(a, 1, out) && out->numbers[0] >= 0 ? nullptr : "expected <seconds>";
}

const char* ParseSwitch(const Args& a, Command* out) {
    return a.size() == 1 && OnOff(a[0], &out->flag) ? nullptr : "expected on or off";
}

const char* ParseBad(const Args& a, Command* out) {
    if (a.size() == 1 && Bad(a[0], &out->bad)) return nullptr;
    return "expected short, index, type, oversize, truncated, plansize or address";
}

const char* ParsePlan(const Args& a, Command* out) {
    if (a.empty() || a.size() > 2) return "expected plan <file> [serial]";
    out->text = a[0];
    if (a.size() == 2) {
        if (!Number(a[1], &out->numbers[0]) || out->numbers[0] != std::trunc(out->numbers[0]) ||
            std::fabs(out->numbers[0]) > 2e9) {
            return "bad serial";
        }
        out->hasSerial = true;
    }
    return nullptr;
}

const char* ParseAirborne(const Args& a, Command* out) {
    if (!Numbers(a, 5, out)) return "expected airborne <lat> <lon> <heading> <altitude> <speed>";
    if (std::fabs(out->numbers[0]) > 89 || std::fabs(out->numbers[1]) > 180) {
        return "position out of range";
    }
    return nullptr;
}

const char* ParseFactor(const Args& a, Command* out) {
    if (Numbers(a, 1, out) && out->numbers[0] > 0 && out->numbers[0] <= 1000) return nullptr;
    return "expected a positive number up to 1000";
}

const char* ParseNothing(const Args& a, Command*) { return a.empty() ? nullptr : "takes no arguments"; }

const struct {
    const char* verb;
    CommandKind kind;
    const char* (*parse)(const Args&, Command*);
} kVerbs[] = {
    {"send", CommandKind::kSend, ParseSend},
    {"silent", CommandKind::kSilent, ParseSeconds},
    {"wait", CommandKind::kWait, ParseSeconds},
    {"updates", CommandKind::kUpdates, ParseSwitch},
    {"armnav", CommandKind::kArmNav, ParseSwitch},
    {"connected", CommandKind::kConnected, ParseSwitch},
    {"bad", CommandKind::kBad, ParseBad},
    {"plan", CommandKind::kPlan, ParsePlan},
    {"airborne", CommandKind::kAirborne, ParseAirborne},
    {"speedup", CommandKind::kSpeedup, ParseFactor},
    {"rate", CommandKind::kRate, ParseFactor},
    {"report", CommandKind::kReport, ParseNothing},
    {"restart", CommandKind::kRestart, ParseNothing},
    {"quit", CommandKind::kQuit, ParseNothing},
};

}  // namespace

bool ParseCommand(const std::string& line, Command* out, std::string* error) {
    *out = Command{};
    std::istringstream in(line);
    Args w;
    std::string word;
    while (in >> word) w.push_back(word);
    if (w.empty() || w[0][0] == '#') return true;
    const std::string verb = w[0];
    w.erase(w.begin());
    for (const auto& v : kVerbs) {
        if (verb != v.verb) continue;
        if (const char* why = v.parse(w, out)) {
            *error = verb + ": " + why;
            return false;
        }
        out->kind = v.kind;
        return true;
    }
    *error = "unknown command '" + verb + "'";
    return false;
}

}  // namespace dbnode
