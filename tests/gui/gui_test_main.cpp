#include <gtest/gtest.h>

#include "host_probe.h"
#include "platform/gui.h"
#include "platform/window.h"
#include "test_log.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    probe::PrepareHost();
    platform::GuiInit(argc, argv);
    TempLog log;  // the Nav Display traces its keys
    return RUN_ALL_TESTS();
}
