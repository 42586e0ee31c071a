// Which attached game controller a configured one is. A controller is named
// by what stays the same across ports and reboots: USB vendor and product,
// its name, and its serial number where it has one, else its order among
// identical devices ("#2"). Pure: the host lists what is attached.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace inputs {

struct DeviceIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string name;
    std::string serial;  // "" when the file gives none
    int order = 0;       // 1.. among twins; 0 when the file gives none
};

struct AttachedDevice {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string name;
    std::string serial;   // "" when the device reports none
    int attachOrder = 0;  // lower: attached earlier
};

enum class MatchOutcome { Found, NotConnected, TwoMatch };

struct DeviceMatch {
    MatchOutcome outcome = MatchOutcome::NotConnected;
    int index = -1;  // into the attached list, when Found
};

// By serial when the identity has one; else by order among twins (same
// vendor, product and name, no serial), counted in attach order; else the
// one device of that vendor, product and name. Two such devices and no way
// to tell them apart is TwoMatch, never a guess.
DeviceMatch MatchDevice(const DeviceIdentity& id, const std::vector<AttachedDevice>& attached);

}  // namespace inputs
