#include "link/var_access.h"

#include "link/link_state.h"
#include "link/shown_vars.h"
#include "link/transmit.h"
#include "link/var_table.h"
#include "protocol/wire.h"
#include "base/fatal.h"
#include "base/log.h"
#include "base/settings.h"

namespace {

constexpr std::int32_t kKeyAlwaysAbove = 184;  // KeyCRi sets these even while not connected

bool InCount(std::int32_t index) { return index >= 0 && index < StdVarCount; }

[[noreturn]] void RefreshWaitFailed(platform::WaitResult result) {
    switch (result) {
        case platform::WaitResult::TimedOut:
            FatalStop(9998, nullptr);
        case platform::WaitResult::Abandoned:
            FatalStop(996, nullptr);
        case platform::WaitResult::Acquired:  // not a failure; not reached
        case platform::WaitResult::Failed:
            break;
    }
    FatalStop(9997, nullptr);
}

[[noreturn]] void RefreshReleaseFailed() { FatalStop(995, "FreshenCopy() - Mutex release error.\n"); }

}  // namespace

void FreshenCopy() {
    if (!masterChanged.load(std::memory_order_acquire)) return;
    platform::Mutex* m = DataMutex;
    if (m == nullptr) FatalStop(7337, "FreshenCopy() - DataMutex is NULL\n");
    // Released when the copy's scope is left, however it is left.
    const platform::ScopedLock lock(m, {&RefreshWaitFailed, &RefreshReleaseFailed});
    CopyMasterToWorking();
    masterChanged.store(false, std::memory_order_release);
}

bool CheckVar(std::int32_t index) {
    FreshenCopy();
    return InCount(index);
}

std::int32_t GetIntVar(std::int32_t index) {
    NoteVarRead(index);
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return 0;
    if (WorkingType(index) != kVarInt) return 0;
    return LoadWorkingInt(index);
}

double GetRealVar(std::int32_t index) {
    NoteVarRead(index);
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return 0.0;
    if (WorkingType(index) != kVarReal) return 0.0;
    return LoadWorkingReal(index);
}

void SetIntVar(std::int32_t index, std::int32_t value) {
    if (!linkConnected.load(std::memory_order_acquire)) {
        if (InCount(index)) StoreWorkingInt(index, value);
        return;
    }
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return;
    if (WorkingType(index) != kVarInt) return;
    StoreWorkingInt(index, value);
    unsigned char datagram[kIntUpdateSize];
    BuildIntUpdate(datagram, NextSequence(), Settings.nodeId, index, value);
    SendToDb(datagram, sizeof datagram);
}

void SetRealVar(std::int32_t index, double value) {
    if (index < 0 || index > StdVarCount) FatalStop(4491, nullptr);
    if (!linkConnected.load(std::memory_order_acquire)) {
        StoreWorkingReal(index, value);
        return;
    }
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return;
    if (WorkingType(index) != kVarReal) return;
    StoreWorkingReal(index, value);
    unsigned char datagram[kRealUpdateSize];
    BuildRealUpdate(datagram, NextSequence(), Settings.nodeId, index, value);
    SendToDb(datagram, sizeof datagram);
}

bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    if (GetIntVar(var::SimConnected) == 0) {
        WriteLogf("SetAndConfirm() - NC: %d\n", index);
        return false;
    }
    SetIntVar(index, value);
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (GetIntVar(index) == value) return true;
        WriteLogf("SetAndConfirm() - Index: %d  Value: %d\n", index, value);
    }
    WriteLogf("SetAndCnfirm() - Final. Index: %d  Value: %d\n", index, value);
    return false;
}

void KeyCRi(std::int32_t index, std::int32_t value) {
    if (GetIntVar(var::SimConnected) != 0 || index > kKeyAlwaysAbove) {
        SetIntVar(index, value);
        return;
    }
    WriteLog("KeyCRi() - Not Connected\n");
}

void KeyCRd(std::int32_t index, double value) {
    if (GetIntVar(var::SimConnected) != 0) {
        SetRealVar(index, value);
        return;
    }
    WriteLog("KeyCRd() - Not Connected\n");
}
