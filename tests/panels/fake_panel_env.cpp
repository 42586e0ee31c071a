#include "link/shown_vars.h"
#include "fake_panel_env.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "link/link_state.h"
#include "link/var_access.h"
#include "model/dialog_script.h"
#include "platform/dialog_template.h"
#include "platform/window.h"
#include "resources/dialog_script.h"
#include "resources/resource.h"

namespace fake {

namespace {
std::mutex traceLock;
Strings trace;
std::mutex varLock;
std::map<std::int32_t, double> vars;
}  // namespace

std::atomic<bool> shiftDown{false};

void Trace(const std::string& event) {
    std::lock_guard<std::mutex> guard(traceLock);
    trace.push_back(event);
}

Strings TakeTrace() {
    std::lock_guard<std::mutex> guard(traceLock);
    Strings out;
    out.swap(trace);
    return out;
}

void ResetVars() {
    std::lock_guard<std::mutex> guard(varLock);
    vars.clear();
    vars[52] = 1;
}

void SetVar(std::int32_t index, double value) {
    std::lock_guard<std::mutex> guard(varLock);
    vars[index] = value;
}

double Var(std::int32_t index) {
    std::lock_guard<std::mutex> guard(varLock);
    auto it = vars.find(index);
    return it == vars.end() ? 0.0 : it->second;
}

FakeDialog::FakeDialog(std::initializer_list<std::set<int>> idSets) {
    for (const auto& s : idSets) ids_.insert(s.begin(), s.end());
}

void FakeDialog::SetItemText(int id, const char* text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (ids_.count(id) == 0) return;
    texts_[id] = text;
    Trace("T" + std::to_string(id) + "=" + text);
}

void FakeDialog::SetItemCheck(int id, bool checked) {
    std::lock_guard<std::mutex> guard(lock_);
    if (ids_.count(id) == 0) return;
    checks_[id] = checked;
    Trace("C" + std::to_string(id) + "=" + (checked ? "1" : "0"));
}

std::size_t FakeDialog::GetItemText(int id, char* buf, std::size_t size) {
    std::lock_guard<std::mutex> guard(lock_);
    const std::string text = ids_.count(id) != 0 ? texts_[id] : std::string();
    if (size == 0) return text.size();
    std::snprintf(buf, size, "%s", text.c_str());
    return std::strlen(buf);
}

bool FakeDialog::GetItemCheck(int id) {
    std::lock_guard<std::mutex> guard(lock_);
    return ids_.count(id) != 0 && checks_[id];
}

void FakeDialog::FocusHost() { Trace("focus"); }

void FakeDialog::Put(int id, const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    texts_[id] = text;
}

void FakeDialog::Tick(int id, bool checked) {
    std::lock_guard<std::mutex> guard(lock_);
    checks_[id] = checked;
}

std::string FakeDialog::Text(int id) {
    std::lock_guard<std::mutex> guard(lock_);
    return texts_[id];
}

namespace {

// The addressable control ids of templates of the program's own script.
std::set<int> TemplateIds(std::initializer_list<int> templateIds) {
    std::vector<platform::DialogTemplate> templates;
    std::string error;
    std::set<int> ids;
    if (!model::ParseDialogScript(PanelDialogScript(), &templates, &error)) return ids;
    for (const platform::DialogTemplate& t : templates) {
        if (std::find(templateIds.begin(), templateIds.end(), t.id) == templateIds.end()) continue;
        for (const platform::ControlTemplate& c : t.controls)
            if (c.id != -1) ids.insert(c.id);
    }
    return ids;
}

// The combined dialog's controls that no panel template has: the ADF rows.
std::set<int> AdfIds() {
    const std::set<int> panels = TemplateIds({IDD_STATUS, IDD_AUTOPILOT, IDD_NAVDISP, IDD_RADIOS});
    std::set<int> ids;
    for (int id : TemplateIds({IDD_BIGWIN}))
        if (panels.count(id) == 0) ids.insert(id);
    return ids;
}

}  // namespace

const std::set<int> kStatusIds = TemplateIds({IDD_STATUS});
const std::set<int> kAutopilotIds = TemplateIds({IDD_AUTOPILOT});
const std::set<int> kNavDispIds = TemplateIds({IDD_NAVDISP});
const std::set<int> kRadiosIds = TemplateIds({IDD_RADIOS});
const std::set<int> kAdfIds = AdfIds();

}  // namespace fake

// The variable operations, as the link has them but on a plain table.
void FreshenCopy() {}
bool CheckVar(std::int32_t index) { return index >= 0 && index < 237; }
std::int32_t GetIntVar(std::int32_t index) { return static_cast<std::int32_t>(fake::Var(index)); }
double GetRealVar(std::int32_t index) { return fake::Var(index); }
void SetIntVar(std::int32_t index, std::int32_t value) {
    fake::SetVar(index, value);
    fake::Trace(std::to_string(index) + ":=" + std::to_string(value));
}
void SetRealVar(std::int32_t index, double value) { fake::SetVar(index, value); }
bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    SetIntVar(index, value);
    return true;
}
void KeyCRi(std::int32_t index, std::int32_t value) {
    if (GetIntVar(52) != 0 || index > 184) {
        SetIntVar(index, value);
    } else {
        WriteLog("KeyCRi() - Not Connected\n");
    }
}

std::atomic<std::int32_t> totalDatagrams{1};
std::atomic<std::int32_t> missedDatagrams{0};

// The windowing host, which these tests never open.
namespace platform {
bool RegisterFrameClass(const char*, FrameProc) { return false; }
Frame* CreateFrame(const char*, const char*, int, int, int, int) { return nullptr; }
void ShowFrame(Frame*, bool) {}
void DestroyFrame(Frame*) {}
void FocusFrame(Frame*) {}
bool FrameExists(Frame*) { return false; }
Dialog* CreateDialogFromTemplate(Frame*, const DialogTemplate*, DialogProc) { return nullptr; }
void ShowDialog(Dialog*, bool) {}
void FitFrameToDialog(Frame*, Dialog*) {}
void PostQuit(int) {}
void MessageBoxOk(Frame*, const char*, const char*) {}
bool ShiftKeyDown() { return fake::shiftDown.load(); }
}  // namespace platform

// The refresh marks what it reads; the stand-ins keep no such record.
ShownReads::ShownReads() {}
ShownReads::~ShownReads() {}
