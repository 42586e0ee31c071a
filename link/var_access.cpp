#include "link/var_access.h"

#include <atomic>

#include "link/link_state.h"
#include "link/transmit.h"
#include "link/var_table.h"
#include "protocol/wire.h"
#include "base/fatal.h"
#include "base/log.h"
#include "base/settings.h"

namespace {

constexpr std::int32_t kSimConnectedVar = 52;
constexpr std::int32_t kKeyAlwaysAbove = 184;  // KeyCRi sets these even while not connected

// Working-copy values are read and stored by several threads without a lock.
std::atomic_ref<std::int32_t> IntOf(std::int32_t index) {
    return std::atomic_ref<std::int32_t>(workingCopy[index].intValue);
}
std::atomic_ref<double> RealOf(std::int32_t index) {
    return std::atomic_ref<double>(workingCopy[index].realValue);
}

bool InCount(std::int32_t index) { return index >= 0 && index < StdVarCount; }

// Releases DataMutex when the copy's scope is left, however it is left.
struct DataMutexRelease {
    platform::Mutex* mutex;
    ~DataMutexRelease() {
        if (!mutex->Release()) FatalStop(995, "FreshenCopy() - Mutex release error.\n");
    }
};

void CopyMasterValues() {
    // Only the values change after the table is built; the other fields of
    // both copies are equal, so copying the values is copying the block.
    for (std::int32_t i = 0; i < StdVarCount; ++i) {
        IntOf(i).store(masterTable[i].intValue, std::memory_order_relaxed);
        RealOf(i).store(masterTable[i].realValue, std::memory_order_relaxed);
    }
}

}  // namespace

void FreshenCopy() {
    if (!masterChanged.load(std::memory_order_acquire)) return;
    platform::Mutex* m = DataMutex;
    if (m == nullptr) FatalStop(7337, "FreshenCopy() - DataMutex is NULL\n");
    switch (m->Wait()) {
        case platform::WaitResult::Acquired: {
            DataMutexRelease release{m};
            CopyMasterValues();
            masterChanged.store(false, std::memory_order_release);
            return;
        }
        case platform::WaitResult::Failed:
            FatalStop(9997, nullptr);
        case platform::WaitResult::TimedOut:
            FatalStop(9998, nullptr);
        case platform::WaitResult::Abandoned:
            FatalStop(996, nullptr);
    }
    FatalStop(9997, nullptr);  // not a WaitResult: treat as a failed wait
}

bool CheckVar(std::int32_t index) {
    FreshenCopy();
    return InCount(index);
}

std::int32_t GetIntVar(std::int32_t index) {
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return 0;
    if (workingCopy[index].type != kVarInt) return 0;
    return IntOf(index).load(std::memory_order_relaxed);
}

double GetRealVar(std::int32_t index) {
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return 0.0;
    if (workingCopy[index].type != kVarReal) return 0.0;
    return RealOf(index).load(std::memory_order_relaxed);
}

void SetIntVar(std::int32_t index, std::int32_t value) {
    if (!linkConnected.load(std::memory_order_acquire)) {
        if (InCount(index)) IntOf(index).store(value, std::memory_order_relaxed);
        return;
    }
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return;
    if (workingCopy[index].type != kVarInt) return;
    IntOf(index).store(value, std::memory_order_relaxed);
    unsigned char datagram[kIntUpdateSize];
    BuildIntUpdate(datagram, NextSequence(), Settings.nodeId, index, value);
    SendToDb(datagram, sizeof datagram);
}

void SetRealVar(std::int32_t index, double value) {
    if (index < 0 || index > StdVarCount) FatalStop(4491, nullptr);
    if (!linkConnected.load(std::memory_order_acquire)) {
        RealOf(index).store(value, std::memory_order_relaxed);
        return;
    }
    if (!tableReady.load(std::memory_order_acquire) || !CheckVar(index)) return;
    if (workingCopy[index].type != kVarReal) return;
    RealOf(index).store(value, std::memory_order_relaxed);
    unsigned char datagram[kRealUpdateSize];
    BuildRealUpdate(datagram, NextSequence(), Settings.nodeId, index, value);
    SendToDb(datagram, sizeof datagram);
}

bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    if (GetIntVar(kSimConnectedVar) == 0) {
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
    if (GetIntVar(kSimConnectedVar) != 0 || index > kKeyAlwaysAbove) {
        SetIntVar(index, value);
        return;
    }
    WriteLog("KeyCRi() - Not Connected\n");
}

void KeyCRd(std::int32_t index, double value) {
    if (GetIntVar(kSimConnectedVar) != 0) {
        SetRealVar(index, value);
        return;
    }
    WriteLog("KeyCRd() - Not Connected\n");
}
