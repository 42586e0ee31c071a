#include <cstdio>
#include <cstring>

#include "app/startup.h"

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
