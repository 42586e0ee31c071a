// Process-wide configuration. Written only during start-up, before any
// other thread exists; read without a lock afterwards.
#pragma once
#include <cstdint>

#include "platform/gui.h"

constexpr int kWorkingDirectorySize = 259;    // at most 258 characters
constexpr int kDataDirectorySize = 299;       // at most 298 characters
constexpr int kParameterFilePathSize = 399;   // at most 398 characters
constexpr int kWebControlMax = 16;            // `webcontrol` lines kept
constexpr int kWebSetupMax = 16;              // `websetup` lines kept
constexpr int kWebNameMax = 8;               // `webname` lines kept
constexpr int kWebNameLength = 254;          // a DNS name and its terminator

struct AppSettings {
    platform::AppInstance appInstance = nullptr;
    std::int32_t buildStamp = 0;
    std::int32_t versionMajor = 1;
    std::int32_t nodeId = 15;  // our node number in every datagram header
    char workingDirectory[kWorkingDirectorySize] = "";
    char dataDirectory[kDataDirectorySize] = "";
    char parameterFilePath[kParameterFilePathSize] = "";
    bool singleWindow = true;
    bool showStatus = true;
    bool showRadios = true;
    bool showNav = true;
    bool showAuto = true;
    std::int32_t cascadeStep = 30;
    std::int32_t statusX = 100, statusY = 100;
    std::int32_t autoX = 0, autoY = 0;
    std::int32_t navX = 0, navY = 0;
    std::int32_t radiosX = 0, radiosY = 0;
    bool debugFmc = false;
    // The parameter file's `adapter` value (lower case), empty when absent;
    // a token is at most 199 characters.
    char networkAdapter[200] = "";
    // The parameter file's `dbnode` address (host byte order) when haveDbNode.
    bool haveDbNode = false;
    std::uint32_t dbNodeAddress = 0;
    // The parameter file's `web` port (0: the panels are not served to
    // browsers) and its `webcontrol` nets, the browsers allowed to send
    // commands (addresses in host byte order, prefix lengths 0 to 32).
    std::int32_t webPort = 0;
    std::int32_t webControlCount = 0;
    std::uint32_t webControlAddress[kWebControlMax] = {};
    std::int32_t webControlBits[kWebControlMax] = {};
    // The parameter file's `websetup` nets: besides the PC itself, the
    // browsers the set-up page is served to.
    std::int32_t webSetupCount = 0;
    std::uint32_t webSetupAddress[kWebSetupMax] = {};
    std::int32_t webSetupBits[kWebSetupMax] = {};
    // The parameter file's `webname` values (lower case): more names than
    // the link's address that browsers may use for the program.
    std::int32_t webNameCount = 0;
    char webName[kWebNameMax][kWebNameLength] = {};
    // The parameter file's `ontop`: the panel windows stay above others.
    bool windowsOnTop = false;
};

// The built-in defaults with the window positions cascading from the
// Status window's, each step `cascadeStep` further.
constexpr AppSettings DefaultSettings() {
    AppSettings s{};
    s.autoX = s.statusX + s.cascadeStep;
    s.autoY = s.statusY + s.cascadeStep;
    s.navX = s.autoX + s.cascadeStep;
    s.navY = s.autoY + s.cascadeStep;
    s.radiosX = s.navX + s.cascadeStep;
    s.radiosY = s.navY + s.cascadeStep;
    return s;
}

extern AppSettings Settings;

// YYMMDD of a date (year modulo 100), e.g. 261206 for 6 December 2026.
std::int32_t DateStampOf(int year, int month, int day);
// YYMMDD of today's local date.
std::int32_t DateStamp();
