// Windows: the COM ports the serial drivers registered.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "platform/serial_ports.h"

namespace platform {

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameLength = sizeof name;
            char value[256];
            DWORD valueLength = sizeof value - 1;
            DWORD type = 0;
            const LONG r = RegEnumValueA(key, i, name, &nameLength, nullptr, &type,
                                         reinterpret_cast<BYTE*>(value), &valueLength);
            if (r == ERROR_NO_MORE_ITEMS) break;
            if (r != ERROR_SUCCESS || type != REG_SZ) continue;
            value[valueLength] = '\0';
            out.push_back(value);
        }
        RegCloseKey(key);
    }
    for (std::string& extra : SplitPortList(std::getenv("ORV_SERIAL_PORTS"), ';'))
        if (std::find(out.begin(), out.end(), extra) == out.end()) out.push_back(extra);
    return out;
}

}  // namespace platform
