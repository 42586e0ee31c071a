#include "app/startup.h"

#include <cstdio>
#include <cstring>
#include <thread>

#include "fmc/fmc_thread.h"
#include "link/net_init.h"
#include "platform/process.h"
#include "base/log.h"

namespace {

// Bounded copy that always terminates the destination.
void CopyBounded(char* dest, std::size_t size, const char* src) {
    std::snprintf(dest, size, "%s", src);
}

}  // namespace

void DecideParameterPath(AppSettings& s) {
    if (std::strcmp(s.workingDirectory, "c:\\K2K\\Varnoth") == 0) {
        CopyBounded(s.dataDirectory, sizeof s.dataDirectory, "C:\\K2K\\Varnoth\\Data\\");
        char path[kDataDirectorySize + 16];
        std::snprintf(path, sizeof path, "%s%s", s.dataDirectory, "orvvarnoth.cfg");
        CopyBounded(s.parameterFilePath, sizeof s.parameterFilePath, path);
    } else {
        s.dataDirectory[0] = '\0';
        CopyBounded(s.parameterFilePath, sizeof s.parameterFilePath, "orvvarnoth.cfg");
    }
}

int RunProgram(platform::AppInstance instance) {
    Settings.appInstance = instance;
    Settings.buildStamp = DateStamp();
    StartLog("ORVVarnoth.log");
    WriteLogf("OrvVarnoth Version: %0d.%0d starting.\n", Settings.versionMajor, Settings.buildStamp);

    if (!platform::GetWorkingDirectory(Settings.workingDirectory, sizeof Settings.workingDirectory))
        Settings.workingDirectory[0] = '\0';
    DecideParameterPath(Settings);

    WriteLog("Initializing Database\n");

    // Always empty: the program reads no command line, so the link picks
    // the host address itself.
    static char ipText[512] = "";
    static char maskText[512] = "";
    InitUdp(9099, 15, ipText, maskText, Settings.versionMajor, Settings.buildStamp);

    InitFMC();

    // Threads are never joined: ending the process ends them.
    std::thread(FMCThread, nullptr).detach();

    return platform::GuiRunMessageLoop();
}
