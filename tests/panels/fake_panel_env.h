// Stand-ins for what the panels touch: a dialog that records its writes,
// and the variable operations with a settable table. Both append to one
// trace, so tests see writes, commands and focus returns in their order.
#pragma once
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace fake {

using Strings = std::vector<std::string>;

// The trace: "T1016= 5 " a text write, "C2011=1" a check write,
// "122:=5" a command that passed KeyCRi, "focus" a FocusHost call.
void Trace(const std::string& event);
Strings TakeTrace();

// Variables: reset to 0 with variable 52 (simulator connected) at 1.
void ResetVars();
void SetVar(std::int32_t index, double value);
double Var(std::int32_t index);

extern std::atomic<bool> shiftDown;

// A dialog whose template has exactly `ids`; other ids are ignored.
class FakeDialog final : public platform::Dialog {
public:
    explicit FakeDialog(std::initializer_list<std::set<int>> idSets);

    void SetItemText(int id, const char* text) override;
    void SetItemCheck(int id, bool checked) override;
    std::size_t GetItemText(int id, char* buf, std::size_t size) override;
    bool GetItemCheck(int id) override;
    void FocusHost() override;

    // The user's side: set a text or a box without tracing it.
    void Put(int id, const std::string& text);
    void Tick(int id, bool checked);
    std::string Text(int id);

private:
    std::mutex lock_;
    std::set<int> ids_;
    std::map<int, std::string> texts_;
    std::map<int, bool> checks_;
};

// Control ids of each template, as the program's script has them (the
// Radios template has no ADF rows; kAdfIds are the combined dialog's).
extern const std::set<int> kStatusIds;
extern const std::set<int> kAutopilotIds;
extern const std::set<int> kNavDispIds;
extern const std::set<int> kRadiosIds;
extern const std::set<int> kAdfIds;

}  // namespace fake
