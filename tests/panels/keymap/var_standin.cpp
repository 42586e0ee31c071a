#include "link/shown_vars.h"
#include "var_standin.h"

#include "base/log.h"
#include "link/link_state.h"
#include "link/var_access.h"

namespace standin {

std::map<std::int32_t, std::int32_t> values;
std::vector<Set> sets;

void Reset() {
    values.clear();
    values[52] = 1;
    sets.clear();
}

std::ostream& operator<<(std::ostream& out, const Set& set) {
    static const char* const names[] = {"KeyCRi", "SetIntVar", "Dropped"};
    return out << names[static_cast<int>(set.path)] << "(" << set.index << ", " << set.value
               << ")";
}

}  // namespace standin

using standin::Path;

// The link counters the Status panel shows.
std::atomic<std::int32_t> totalDatagrams{1};
std::atomic<std::int32_t> missedDatagrams{0};

void FreshenCopy() {}
bool CheckVar(std::int32_t index) { return index >= 0 && index < 237; }

std::int32_t GetIntVar(std::int32_t index) {
    const auto it = standin::values.find(index);
    return it == standin::values.end() ? 0 : it->second;
}

double GetRealVar(std::int32_t) { return 0.0; }

void SetIntVar(std::int32_t index, std::int32_t value) {
    standin::sets.push_back({index, value, Path::SetIntVar});
}

void SetRealVar(std::int32_t, double) {}

bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    SetIntVar(index, value);
    return true;
}

void KeyCRi(std::int32_t index, std::int32_t value) {
    if (GetIntVar(52) != 0 || index > 184) {
        standin::sets.push_back({index, value, Path::KeyCRi});
    } else {
        standin::sets.push_back({index, value, Path::Dropped});
        WriteLog("KeyCRi() - Not Connected\n");
    }
}


// The refresh marks what it reads; the stand-ins keep no such record.
ShownReads::ShownReads() {}
ShownReads::~ShownReads() {}
