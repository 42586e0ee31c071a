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

}  // namespace

bool ParseCommand(const std::string& line, Command* out, std::string* error) {
    *out = Command{};
    std::istringstream in(line);
    std::vector<std::string> w;
    std::string word;
    while (in >> word) w.push_back(word);
    if (w.empty() || w[0][0] == '#') return true;
    const std::string& verb = w[0];
    const std::size_t args = w.size() - 1;
    auto fail = [&](const std::string& why) {
        *error = verb + ": " + why;
        return false;
    };
    auto numbers = [&](std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!Number(w[i + 1], &out->numbers[i])) return false;
        }
        return true;
    };

    if (verb == "send") {
        if (args != 2 || !numbers(2)) return fail("expected send <index> <value>");
        const double index = out->numbers[0];
        if (index != std::trunc(index) || index < 0 || index >= kVarCapacity) {
            return fail("no such variable");
        }
        out->index = static_cast<int>(index);
        if (ValueWidth(out->index) == 0) return fail("variable has no integer or real value");
        out->kind = CommandKind::kSend;
        out->numbers[0] = out->numbers[1];
        return true;
    }
    if (verb == "silent" || verb == "wait") {
        if (args != 1 || !numbers(1) || out->numbers[0] < 0) return fail("expected <seconds>");
        out->kind = verb == "silent" ? CommandKind::kSilent : CommandKind::kWait;
        return true;
    }
    if (verb == "updates" || verb == "armnav" || verb == "connected") {
        if (args != 1 || !OnOff(w[1], &out->flag)) return fail("expected on or off");
        out->kind = verb == "updates"  ? CommandKind::kUpdates
                    : verb == "armnav" ? CommandKind::kArmNav
                                       : CommandKind::kConnected;
        return true;
    }
    if (verb == "bad") {
        if (args != 1 || !Bad(w[1], &out->bad)) {
            return fail("expected short, index, type, oversize, truncated, plansize or address");
        }
        out->kind = CommandKind::kBad;
        return true;
    }
    if (verb == "plan") {
        if (args < 1 || args > 2) return fail("expected plan <file> [serial]");
        out->text = w[1];
        if (args == 2) {
            if (!Number(w[2], &out->numbers[0]) || out->numbers[0] != std::trunc(out->numbers[0]) ||
                std::fabs(out->numbers[0]) > 2e9) {
                return fail("bad serial");
            }
            out->hasSerial = true;
        }
        out->kind = CommandKind::kPlan;
        return true;
    }
    if (verb == "airborne") {
        if (args != 5 || !numbers(5)) {
            return fail("expected airborne <lat> <lon> <heading> <altitude> <speed>");
        }
        if (std::fabs(out->numbers[0]) > 89 || std::fabs(out->numbers[1]) > 180) {
            return fail("position out of range");
        }
        out->kind = CommandKind::kAirborne;
        return true;
    }
    if (verb == "speedup" || verb == "rate") {
        if (args != 1 || !numbers(1) || out->numbers[0] <= 0 || out->numbers[0] > 1000) {
            return fail("expected a positive number up to 1000");
        }
        out->kind = verb == "speedup" ? CommandKind::kSpeedup : CommandKind::kRate;
        return true;
    }
    if (verb == "report" || verb == "restart" || verb == "quit") {
        if (args != 0) return fail("takes no arguments");
        out->kind = verb == "report"    ? CommandKind::kReport
                    : verb == "restart" ? CommandKind::kRestart
                                        : CommandKind::kQuit;
        return true;
    }
    *error = "unknown command '" + verb + "'";
    return false;
}

}  // namespace dbnode
