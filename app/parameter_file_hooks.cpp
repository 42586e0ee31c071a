#include "app/parameter_file.h"

#include "panels/windows.h"

namespace {

platform::Frame* OpenStatusWindow(platform::AppInstance instance, bool show) {
    CreateStatusWin(instance, show);
    return statusFrame;
}

}  // namespace

ParameterFileHooks parameterFileHooks = {OpenStatusWindow, platform::MessageBoxOk};
