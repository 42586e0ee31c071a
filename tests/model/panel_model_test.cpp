// The panel model without a toolkit: each cycle's one batch, one hand-over
// per window, snapshots, commands that reach the named panel or are refused
// with a reason, and the refresh's pace.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/catalog.h"
#include "platform/dialog_template.h"
#include "model/panel_model.h"
#include "model/panel_model_probe.h"
#include "model/panel_model_writer.h"
#include "test_script.h"

namespace {

using model::ControlChange;
using platform::ControlState;
using platform::DialogMsg;
using platform::DialogMsgKind;
using model::PanelCommand;

// A window: what it was handed, and how many hand-overs it took.
class FakeWindow final : public platform::Dialog {
public:
    void SetItemText(int id, const char* text) override { shown[id].text = text; }
    void SetItemCheck(int id, bool checked) override { shown[id].checked = checked; }
    std::size_t GetItemText(int, char*, std::size_t) override { return 0; }
    bool GetItemCheck(int id) override { return shown[id].checked; }
    void FocusHost() override { ++focused; }
    void SetRouter(platform::MsgRouter* to) override { router = to; }
    void WriteBatch(const ControlState* controls, std::size_t count) override {
        ++handOvers;
        platform::Dialog::WriteBatch(controls, count);
    }
    std::map<int, ControlState> shown;
    int handOvers = 0;
    int focused = 0;
    platform::MsgRouter* router = nullptr;
};

struct Delivered {
    int panel;
    platform::Dialog* handle;
    DialogMsg msg;
    bool shift;
    bool checkSeen;
};
std::vector<Delivered> delivered;
bool shiftHeld = false;  // the fake host's Shift state
void HoldShift(bool held) { shiftHeld = held; }

template <int Panel>
bool Proc(platform::Dialog* dialog, const DialogMsg& msg) {
    delivered.push_back({Panel, dialog, msg, shiftHeld, dialog->GetItemCheck(kCheckBox)});
    dialog->FocusHost();
    return true;
}

const model::PanelInfo kTable[] = {
    {"alpha", "Alpha", kTestTemplate, Proc<0>, nullptr, nullptr, 0, false},
    {"beta", "Beta", kPlainTemplate, Proc<1>, nullptr, nullptr, 0, false},
};

std::vector<void (*)(void*)> postedWork;
std::vector<void*> postedContext;
bool QueuePost(void (*work)(void*), void* context) {
    postedWork.push_back(work);
    postedContext.push_back(context);
    return true;
}
bool RefusePost(void (*)(void*), void*) { return false; }
void RunPosted() {
    for (std::size_t i = 0; i < postedWork.size(); ++i) postedWork[i](postedContext[i]);
    postedWork.clear();
    postedContext.clear();
}

struct Batch {
    std::uint64_t cycle;
    std::vector<ControlChange> changes;
};
void Collect(void* context, std::uint64_t cycle, const ControlChange* changes, std::size_t count) {
    static_cast<std::vector<Batch>*>(context)->push_back(Batch{cycle, {changes, changes + count}});
}

class PanelModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(model::BuildCatalog(kTestScript, kTable, 2, 0, &catalog_, &error)) << error;
        model_ = std::make_unique<model::PanelModel>(catalog_, platform::GuiPoster{QueuePost, HoldShift});
        model::PublishCycle(*model_);  // the first cycle, published even without a change
        subscription_ = model::SubscribeBatches(*model_, Collect, &batches_);
        delivered.clear();
    }
    void TearDown() override {
        model::UnsubscribeBatches(*model_, subscription_);
        RunPosted();
    }
    platform::Dialog* Alpha() { return model::PanelDialog(*model_, 0); }

    model::Catalog catalog_;
    std::unique_ptr<model::PanelModel> model_;
    std::vector<Batch> batches_;
    int subscription_ = 0;
};

TEST_F(PanelModelTest, EachCycleIsOneBatchOfWhatChangedAndOneHandOverPerWindow) {
    FakeWindow alphaWindow, combined;
    model::AttachPanelWindow(*model_, &alphaWindow, 0);
    model::AttachPanelWindow(*model_, &combined, 0);
    model::AttachPanelWindow(*model_, &combined, 1);
    EXPECT_EQ(alphaWindow.shown[kCheckBox].text, "Hold");  // brought up to date at once
    const int before = alphaWindow.handOvers;
    const int combinedBefore = combined.handOvers;

    Alpha()->SetItemText(kValueField, "12");
    Alpha()->SetItemCheck(kCheckBox, true);
    Alpha()->SetItemText(kValueField, "13");
    Alpha()->SetItemText(kNotifyField, "");  // as it was: no change
    Alpha()->SetItemText(4242, "x");          // no such control: ignored
    EXPECT_EQ(model::PublishCycle(*model_), 2u);
    EXPECT_EQ(model::PublishCycle(*model_), 0u);  // nothing new: nothing published

    ASSERT_EQ(batches_.size(), 1u);
    ASSERT_EQ(batches_[0].changes.size(), 2u);
    EXPECT_EQ(batches_[0].changes[0].panel, 0);
    EXPECT_EQ(batches_[0].changes[0].state.text, "13");
    EXPECT_TRUE(batches_[0].changes[1].state.checked);
    EXPECT_EQ(alphaWindow.handOvers, before + 1);
    EXPECT_EQ(combined.handOvers, combinedBefore + 1);  // two panels, one hand-over
    EXPECT_EQ(alphaWindow.shown[kValueField].text, "13");

    std::vector<ControlState> snapshot;
    EXPECT_EQ(model::PanelSnapshot(*model_, 0, &snapshot), batches_[0].cycle);
    ASSERT_FALSE(snapshot.empty());
    EXPECT_EQ(snapshot[0].id, kValueField);
    EXPECT_EQ(snapshot[0].text, "13");
    EXPECT_EQ(model::PanelSnapshot(*model_, 7, &snapshot), 0u);
    EXPECT_TRUE(snapshot.empty());

    char text[8];
    EXPECT_EQ(Alpha()->GetItemText(kValueField, text, sizeof text), 2u);
    EXPECT_STREQ(text, "13");
    EXPECT_EQ(model_->catalog().FindPanel("beta"), 1);
    EXPECT_EQ(model_->catalog().FindPanel("gamma"), -1);
}

TEST_F(PanelModelTest, CommandsReachTheNamedPanelOrAreRefusedWithAReason) {
    const auto post = [this](int panel, int id, DialogMsgKind kind, int setCheck = -1) {
        PanelCommand c;
        c.panel = panel;
        c.controlId = id;
        c.kind = kind;
        c.delta = -1;
        c.shift = true;
        c.setCheck = setCheck;
        return model::PostPanelCommand(*model_, c);
    };
    EXPECT_EQ(post(-1, kCheckBox, DialogMsgKind::Command), model::Refusal::UnknownPanel);
    EXPECT_EQ(post(2, kCheckBox, DialogMsgKind::Command), model::Refusal::UnknownPanel);
    EXPECT_EQ(post(1, kCheckBox, DialogMsgKind::Command), model::Refusal::UnknownControl);
    EXPECT_EQ(post(0, -1, DialogMsgKind::Command), model::Refusal::UnknownControl);
    EXPECT_EQ(post(0, kCheckBox, DialogMsgKind::DeltaPos), model::Refusal::WrongKind);
    EXPECT_EQ(post(0, kValueField, DialogMsgKind::Command), model::Refusal::WrongKind);
    EXPECT_EQ(post(0, kUpDownVertical, DialogMsgKind::KeyUp), model::Refusal::WrongKind);
    EXPECT_TRUE(postedWork.empty());

    // Without a window: toggled as a click toggles it, then the procedure
    // of that panel, with the model's handle and Shift as asked.
    EXPECT_EQ(post(0, kCheckBox, DialogMsgKind::Command), model::Refusal::None);
    EXPECT_EQ(post(0, kUpDownVertical, DialogMsgKind::DeltaPos), model::Refusal::None);
    EXPECT_EQ(post(0, kCheckBox, DialogMsgKind::Command, 1), model::Refusal::None);  // a switch already on
    EXPECT_EQ(post(0, kNotifyField, DialogMsgKind::Command, 0), model::Refusal::None);
    EXPECT_TRUE(delivered.empty());  // only on the GUI thread
    RunPosted();
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(delivered[0].panel, 0);
    EXPECT_EQ(delivered[0].handle, Alpha());
    EXPECT_TRUE(delivered[0].checkSeen);
    EXPECT_TRUE(delivered[0].shift);
    EXPECT_EQ(delivered[1].msg.kind, DialogMsgKind::DeltaPos);
    EXPECT_EQ(delivered[1].msg.delta, -1);
    EXPECT_EQ(delivered[2].msg.controlId, kNotifyField);
    EXPECT_FALSE(shiftHeld);
    EXPECT_TRUE(Alpha()->GetItemCheck(kCheckBox));

    // No host, and a host whose queue turns the work away: lost, so not
    // reported as sent.
    for (const platform::GuiPoster gui : {platform::GuiPoster{}, platform::GuiPoster{RefusePost, HoldShift}}) {
        model_ = std::make_unique<model::PanelModel>(catalog_, gui);
        subscription_ = model::SubscribeBatches(*model_, Collect, &batches_);
        EXPECT_EQ(post(0, kCheckBox, DialogMsgKind::Command), model::Refusal::NoHost);
        model::SetKeyHandler(*model_, [](void*, int, bool) {}, nullptr);
        EXPECT_EQ(model::PostPanelKey(*model_, 'A', true), model::Refusal::NoHost);
    }
}

TEST_F(PanelModelTest, AWindowsClickReachesItsPanelWithTheBoxAsClicked) {
    FakeWindow window, stranger;
    model::AttachPanelWindow(*model_, &window, 0);
    window.shown[kCheckBox].checked = true;  // the user's click toggled it
    ASSERT_NE(window.router, nullptr);  // the window's messages come to the model
    EXPECT_TRUE(window.router->Route(&window, DialogMsg{DialogMsgKind::Command, kCheckBox, 0, 0}));
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].handle, Alpha());
    EXPECT_TRUE(delivered[0].checkSeen);
    EXPECT_FALSE(delivered[0].shift);
    EXPECT_GE(window.focused, 1);  // the model's handle gives the focus to the window
    EXPECT_FALSE(window.router->Route(&stranger, DialogMsg{DialogMsgKind::Command, kCheckBox, 0, 0}));
    // A window closed or not, the panel is in the model and publishes on.
    EXPECT_EQ(model::PublishCycle(*model_), 1u);
    ASSERT_EQ(batches_.size(), 1u);
    EXPECT_TRUE(batches_[0].changes[0].state.checked);
}

TEST_F(PanelModelTest, TwoModelsShareNothingAndKeysGoToTheirOwnHandler) {
    model::PanelModel other(catalog_);
    FakeWindow window;
    model::AttachPanelWindow(other, &window, 0);
    Alpha()->SetItemText(kValueField, "7");
    EXPECT_EQ(model::PublishCycle(other), 0u);  // the other's first cycle: nothing changed there
    EXPECT_NE(window.shown[kValueField].text, "7");
    EXPECT_EQ(model::PublishCycle(*model_), 1u);
    std::vector<ControlState> snapshot;
    model::PanelSnapshot(other, 0, &snapshot);
    ASSERT_FALSE(snapshot.empty());
    EXPECT_NE(snapshot[0].text, "7");

    std::vector<int> keys;
    const auto note = [](void* context, int code, bool down) {
        static_cast<std::vector<int>*>(context)->push_back(down ? code : -code);
    };
    EXPECT_EQ(model::PostPanelKey(other, 'A', true), model::Refusal::NoHost);  // no handler
    model::SetKeyHandler(*model_, note, &keys);
    EXPECT_EQ(model::PostPanelKey(*model_, 'A', true), model::Refusal::None);
    EXPECT_EQ(model::PostPanelKey(*model_, 'A', false), model::Refusal::None);
    EXPECT_TRUE(keys.empty());  // only on the GUI thread
    RunPosted();
    EXPECT_EQ(keys, (std::vector<int>{'A', -'A'}));
}

TEST(RefreshPaceTest, WokenEarlyButNeverOftenerThanTheGapAndOnTheFloorOtherwise) {
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    const model::Catalog empty;
    model::PanelModel panels(empty);
    model::WaitForRefresh(panels, {0, 0});  // starts the pace
    auto start = Clock::now();
    model::WaitForRefresh(panels, {150, 60});
    EXPECT_GE(ms(Clock::now() - start), 140);  // nobody woke it: the floor

    const long wakeups = model::RefreshWakeups(panels);
    start = Clock::now();
    std::thread([&panels] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (int i = 0; i < 10; ++i) model::WakeRefresh(panels);
    }).join();
    model::WaitForRefresh(panels, {5000, 60});
    const auto took = ms(Clock::now() - start);
    EXPECT_GE(took, 55);    // no sooner than the gap after the last cycle
    EXPECT_LT(took, 2000);  // long before the floor
    EXPECT_EQ(model::RefreshWakeups(panels), wakeups + 1);  // ten wake-ups, one cycle
}

TEST(RefreshPaceTest, DataWakesSpendABudgetThatThePilotRefills) {
    using Clock = std::chrono::steady_clock;
    const model::RefreshPace pace{5000, 0, 4, 2};  // two at once, then one each 250 ms
    const model::Catalog empty;
    model::PanelModel panels(empty);
    const auto wokenBy = [&pace, &panels](void (*wake)(model::PanelModel&)) {
        const auto start = Clock::now();
        wake(panels);
        model::WaitForRefresh(panels, pace);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    model::WaitForRefresh(panels, {0, 0});
    std::this_thread::sleep_for(std::chrono::milliseconds(600));  // the budget fills up
    EXPECT_LT(wokenBy(model::WakeRefreshForData), 150);
    EXPECT_LT(wokenBy(model::WakeRefreshForData), 150);
    EXPECT_GE(wokenBy(model::WakeRefreshForData), 200);  // spent: waits for the next
    EXPECT_LT(wokenBy(model::WakeRefresh), 150);         // the pilot never waits...
    EXPECT_LT(wokenBy(model::WakeRefreshForData), 150);  // ...and the node's answer neither
}

}  // namespace
