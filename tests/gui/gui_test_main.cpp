#include <gtest/gtest.h>

#include "model/dialog_script.h"
#include "host_probe.h"
#include "platform/gui.h"
#include "platform/window.h"
#include "resources/dialog_script.h"
#include "test_log.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    probe::PrepareHost();
    platform::GuiInit(argc, argv);
    if (!model::HandHostTemplates(PanelDialogScript())) return 2;
    TempLog log;  // the Nav Display traces its keys
    return RUN_ALL_TESTS();
}
