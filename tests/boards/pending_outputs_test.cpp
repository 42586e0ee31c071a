// A board's pending outputs as the refresh thread fills them and the board
// thread takes them: only its controls, the latest state of each, and one
// wake-up while the set waits.
#include <gtest/gtest.h>

#include "boards/pending_outputs.h"
#include "model/catalog.h"
#include "model/panel_model_probe.h"
#include "model/panel_model_writer.h"
#include "test_script.h"

namespace {

model::ControlChange Change(int id, const char* text, bool checked = false) {
    return model::ControlChange{0, {id, text, checked, true}};
}

TEST(PendingOutputsTest, KeepsTheBoardsControlsLatestFirstAndWakesOncePerTake) {
    boards::PendingOutputs p;
    p.controls = {100, 200};
    int wakes = 0;
    p.wake = [&wakes] { ++wakes; };
    const model::ControlChange first[] = {Change(300, "not shown"), Change(200, "AP 12000")};
    boards::OfferBatch(&p, 1, first, 2);
    EXPECT_EQ(wakes, 1);
    const model::ControlChange second[] = {Change(200, "AP 13000"), Change(100, "", true)};
    boards::OfferBatch(&p, 2, second, 2);
    const model::ControlChange unrelated[] = {Change(300, "x")};
    boards::OfferBatch(&p, 3, unrelated, 1);
    EXPECT_EQ(wakes, 1);  // already waiting: no second wake-up
    auto taken = boards::TakePending(&p);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].id, 100);
    EXPECT_TRUE(taken[0].checked);
    EXPECT_EQ(taken[1].text, "AP 13000");
    EXPECT_TRUE(boards::TakePending(&p).empty());
    boards::OfferBatch(&p, 4, unrelated, 1);
    EXPECT_EQ(wakes, 1);  // nothing it shows changed: it sleeps on
    boards::OfferBatch(&p, 5, second, 1);
    EXPECT_EQ(wakes, 2);
}

TEST(PendingOutputsTest, BatchesTheSnapshotHoldsAreSkipped) {
    boards::PendingOutputs p;
    p.controls = {200};
    p.snapshotCycle = 7;
    p.pending[200] = Change(200, "from the snapshot").state;
    const model::ControlChange older[] = {Change(200, "cycle 7")};
    boards::OfferBatch(&p, 7, older, 1);
    EXPECT_EQ(p.pending[200].text, "from the snapshot");
    const model::ControlChange newer[] = {Change(200, "cycle 8")};
    boards::OfferBatch(&p, 8, newer, 1);
    EXPECT_EQ(boards::TakePending(&p)[0].text, "cycle 8");
}

bool NoProc(platform::Dialog*, const platform::DialogMsg&) { return true; }

// A board configured at any time shows what the panels show then, though no
// batch may ever bring it: the snapshot has it, and what the batches held
// or still bring of older cycles gives way.
TEST(PendingOutputsTest, SnapshotIsWhatThePanelsShowNow) {
    const model::PanelInfo table[] = {{"alpha", "Alpha", kTestTemplate, NoProc, nullptr, nullptr, 0, false}};
    model::Catalog catalog;
    std::string error;
    ASSERT_TRUE(model::BuildCatalog(kTestScript, table, 1, 0, &catalog, &error)) << error;
    model::PanelModel panels(catalog);
    boards::BoardMap map{"mcp", "ttyB", {}, {}};
    map.outputs.resize(2);
    map.outputs[0].controlId = kCheckBox;
    map.outputs[1].display = true, map.outputs[1].controlId = kValueField;
    boards::PendingOutputs p;
    boards::SubscribeOutputs(&p, panels, map, [] {});
    model::PanelDialog(panels, 0)->SetItemCheck(kCheckBox, true);
    model::PanelDialog(panels, 0)->SetItemText(kValueField, "12000");
    model::PublishCycle(panels);
    const auto now = boards::SnapshotOutputs(&p);
    ASSERT_EQ(now.size(), 2u);
    EXPECT_EQ(now[0].id, kValueField);
    EXPECT_EQ(now[0].text, "12000");
    EXPECT_TRUE(now[1].checked);
    EXPECT_TRUE(boards::TakePending(&p).empty());
    const model::ControlChange late[] = {Change(kValueField, "older")};
    boards::OfferBatch(&p, p.snapshotCycle, late, 1);
    EXPECT_TRUE(boards::TakePending(&p).empty());
    boards::UnsubscribeOutputs(&p);
}

}  // namespace
