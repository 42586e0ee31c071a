#include "panel_fakes.h"

#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"

namespace fakepanels {

std::mutex& Lock() {
    static auto* lock = new std::mutex;  // outlives a thread parked at exit
    return *lock;
}

std::vector<Call> calls;
bool answer = false;
void (*onUpdate)(const Call& call) = nullptr;

namespace {

void Update(const char* name, platform::Dialog* dialog) {
    std::lock_guard<std::mutex> guard(Lock());
    calls.push_back({name, dialog, {}});
    if (onUpdate != nullptr) onUpdate(calls.back());
}

bool Proc(const char* name, platform::Dialog* dialog, const platform::DialogMsg& msg) {
    std::lock_guard<std::mutex> guard(Lock());
    calls.push_back({name, dialog, msg});
    return answer;
}

}  // namespace
}  // namespace fakepanels

void UpdateAutopilot(platform::Dialog* d) { fakepanels::Update("UpdateAutopilot", d); }
void UpdateNavDisp(platform::Dialog* d) { fakepanels::Update("UpdateNavDisp", d); }
void UpdateRadios(platform::Dialog* d) { fakepanels::Update("UpdateRadios", d); }
void UpdateStatus(platform::Dialog* d) { fakepanels::Update("UpdateStatus", d); }

bool DlgProcAutopilot(platform::Dialog* d, const platform::DialogMsg& m) {
    return fakepanels::Proc("DlgProcAutopilot", d, m);
}
bool DlgProcNavDisp(platform::Dialog* d, const platform::DialogMsg& m) {
    return fakepanels::Proc("DlgProcNavDisp", d, m);
}
bool DlgProcRadios(platform::Dialog* d, const platform::DialogMsg& m) {
    return fakepanels::Proc("DlgProcRadios", d, m);
}
bool DlgProcStatus(platform::Dialog* d, const platform::DialogMsg& m) {
    return fakepanels::Proc("DlgProcStatus", d, m);
}

bool SpinAutopilot(platform::Dialog*, int, int) { return false; }
bool SpinNavDisp(platform::Dialog*, int, int) { return false; }
bool SpinRadios(platform::Dialog*, int, int) { return false; }
