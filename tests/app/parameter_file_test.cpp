// The parameter file reader against recording stand-ins for the Status
// window and the message box: each case writes a file in a fresh directory,
// reads it into fresh defaults and checks settings, result, the windows and
// boxes in their order, standard output and the log.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/portable.h"

#include "app/parameter_file.h"
#include "base/log.h"
#include "base/settings.h"

namespace {

int statusFrameObject;  // its address stands for the Status frame
platform::Frame* const kStatusFrame = reinterpret_cast<platform::Frame*>(&statusFrameObject);

std::string events;  // what the reader did to the windows, in order

platform::Frame* FakeOpenStatusWindow(platform::AppInstance instance, bool show) {
    char line[128];
    std::snprintf(line, sizeof line, "status(instance %s, show %d, at %d %d)\n",
                  instance == Settings.appInstance && instance != nullptr ? "ok" : "wrong",
                  show ? 1 : 0, Settings.statusX, Settings.statusY);
    events += line;
    return kStatusFrame;
}

void FakeMessageBox(platform::Frame* owner, const char* text, const char* title) {
    events += std::string("box(") + (owner == kStatusFrame ? "status" : owner ? "other" : "none") +
              ", " + title + ", [" + text + "])\n";
}

}  // namespace

// The program opens real windows; here they only record.
const ParameterFileUi kRecordingUi{nullptr, FakeOpenStatusWindow, FakeMessageBox};

namespace {

std::string Describe(const AppSettings& s) {
    std::ostringstream out;
    out << "single " << s.singleWindow << " debug " << s.debugFmc << " status " << s.statusX
        << "," << s.statusY << "," << s.showStatus << " auto " << s.autoX << "," << s.autoY << ","
        << s.showAuto << " nav " << s.navX << "," << s.navY << "," << s.showNav << " radios "
        << s.radiosX << "," << s.radiosY << "," << s.showRadios << " adapter [" << s.networkAdapter
        << "] dbnode " << s.haveDbNode << "," << s.dbNodeAddress << " web " << s.webPort
        << " ontop " << s.windowsOnTop;
    for (int i = 0; i < s.webControlCount; ++i) out << " control " << s.webControlAddress[i] << "/" << s.webControlBits[i];
    for (int i = 0; i < s.webNameCount; ++i) out << " name " << s.webName[i];
    return out.str();
}

// The log after "Log started.", time stamps removed.
std::string LogBody(const std::string& path) {
    std::ifstream in(path);
    std::string line, body;
    std::getline(in, line);
    EXPECT_EQ(line, "Log started.");
    constexpr std::size_t kStampLength = 14;  // "hh:mm:ss:mmm" and two blanks
    while (std::getline(in, line)) body += line.substr(kStampLength) + "\n";
    return body;
}

struct Case {
    const char* name;
    std::string file;  // contents
    bool noFile;       // write no file at all
    int result;
    void (*expect)(AppSettings&);  // changes from the defaults
    std::string events;
    std::string output;  // standard output
    std::string log;
    const char* special = nullptr;  // in place of the file: "fifo", or the device it links to
};

constexpr auto kDefaults = [](AppSettings&) {};
const std::string kUnknownColour = "Unknown symbol in parameter file: colour\n";

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

class ParameterFile : public ::testing::Test {
protected:
    void Run(const Case& c) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path dir = testsupport::MakeTempDir("orv_paramfile_");
        ASSERT_FALSE(dir.empty());
        const std::string cfg = (dir / "orvvarnoth.cfg").string();
        const std::string log = (dir / "ORVVarnoth.log").string();
        if (c.special != nullptr) {
            if (!testsupport::SystemHasFifos()) return;  // neither FIFOs nor /dev on Windows
            const bool fifo = std::string(c.special) == "fifo";
            ASSERT_TRUE(fifo ? testsupport::MakeFifo(cfg) : testsupport::MakeSymlink(c.special, cfg));
        }
        if (!c.noFile) std::ofstream(cfg, std::ios::binary) << c.file;

        Settings = DefaultSettings();
        Settings.appInstance = &statusFrameObject;
        events.clear();
        ASSERT_TRUE(StartLog(log.c_str()));

        testing::internal::CaptureStdout();
        std::vector<boards::BoardMap> boards;
        const int result = ReadParameterFile(cfg.c_str(), kRecordingUi, &boards);
        const std::string output = testing::internal::GetCapturedStdout();

        AppSettings expected = DefaultSettings();
        c.expect(expected);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Describe(Settings), Describe(expected));
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(output, c.output);
        EXPECT_EQ(LogBody(log), c.log);
        std::filesystem::remove_all(dir);
    }
};

TEST_F(ParameterFile, ReadsPairsRegardlessOfCaseAndLines) {
    const Case cases[] = {
        {"no file", "", true, 0, kDefaults, "", "", ""},
        {"empty file", "", false, 0, kDefaults, "", "", ""},
        {"a FIFO is unreadable", "", true, 0, kDefaults, "", "", "", "fifo"},
        {"an endless device is unreadable", "", true, 0, kDefaults, "", "", "", "/dev/zero"},
        {"a byte-order mark is skipped", "\xEF\xBB\xBFwin four", false, 0,
         [](AppSettings& s) { s.singleWindow = false; }, "", "", ""},
        {"blanks only", " \t\r\n\n", false, 0, kDefaults, "", "", ""},
        {"keywords in any case", "StatusX 400\nSTATUSY 7\nWIN Four\n", false, 0,
         [](AppSettings& s) { s.statusX = 400; s.statusY = 7; s.singleWindow = false; }, "", "", ""},
        {"every keyword",
         "statusx 1 statusy 2 showstatus no autox 3 autoy 4 showauto no navx 5 navy 6 "
         "shownav no radiosx 7 radiosy 8 showradios no win four debugfmc on",
         false, 0,
         [](AppSettings& s) {
             s.statusX = 1; s.statusY = 2; s.autoX = 3; s.autoY = 4;
             s.navX = 5; s.navY = 6; s.radiosX = 7; s.radiosY = 8;
             s.showStatus = s.showAuto = s.showNav = s.showRadios = false;
             s.singleWindow = false; s.debugFmc = true;
         },
         "", "", ""},
        {"only \"no\" clears a flag", "showradios No shownav 0 showauto false showstatus off", false,
         0, [](AppSettings& s) { s.showRadios = false; }, "", "", ""},
        {"integers convert like atoi",
         "statusx 12abc statusy abc autox -40 autoy +7 navx 00x9 navy -", false, 0,
         [](AppSettings& s) {
             s.statusX = 12; s.statusY = 0; s.autoX = -40; s.autoY = 7; s.navX = 0; s.navY = 0;
         },
         "", "", ""},
        {"absurd digit strings stop at the limits",
         "statusx 99999999999999999999999 statusy -99999999999999999999999 "
         "autox 2147483647 autoy -2147483648",
         false, 0,
         [](AppSettings& s) {
             s.statusX = INT32_MAX; s.statusY = INT32_MIN; s.autoX = INT32_MAX; s.autoY = INT32_MIN;
         },
         "", "", ""},
        {"keyword and value on different lines", "statusx\n\n   250\n\tstatusy\r\n9", false, 0,
         [](AppSettings& s) { s.statusX = 250; s.statusY = 9; }, "", "", ""},
        {"last value wins", "statusx 1 statusx 2 win four win one showauto no showauto yes", false,
         0, [](AppSettings& s) { s.statusX = 2; }, "", "", ""},
        {"debugfmc takes any value", "debugfmc no statusx 5", false, 0,
         [](AppSettings& s) { s.debugFmc = true; s.statusX = 5; }, "", "", ""},
        {"keyword at the very end takes the previous value", "showauto no statusx", false, 0,
         [](AppSettings& s) { s.showAuto = false; s.statusX = 0; }, "", "", ""},
        {"keyword at the very end after a number", "statusx 40 radiosy", false, 0,
         [](AppSettings& s) { s.statusX = 40; s.radiosY = 40; }, "", "", ""},
        {"lone keyword has an empty value", "autox", false, 0, [](AppSettings& s) { s.autoX = 0; },
         "", "", ""},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(ParameterFile, CommentsDiscardTheRestOfTheValuesLine) {
    const Case cases[] = {
        {"comments only", "// first comment\n   // second one, statusx 5\n//\tx\n", false, 0,
         kDefaults, "", "", ""},
        {"comment line skipped whole", "// statusx 1 statusy 1\nstatusy 5\n", false, 0,
         [](AppSettings& s) { s.statusY = 5; }, "", "", ""},
        {"lone slashes eat the next line", "//\nstatusx 400 statusy 9\nautox 3\n", false, 0,
         [](AppSettings& s) { s.autoX = 3; }, "", "", ""},
        {"slashes and a word eat the next line", "//note\nshowauto no\nautox 3\n", false, 0,
         [](AppSettings& s) { s.autoX = 3; }, "", "", ""},
        {"comment at the end of the file", "statusx 8 //", false, 0,
         [](AppSettings& s) { s.statusX = 8; }, "", "", ""},
        {"a comment inside a pair is a value", "statusy // statusx 3", false, 0,
         [](AppSettings& s) { s.statusY = 0; s.statusX = 3; }, "", "", ""},
        // 298 characters after the value are discarded; the 299th starts a token.
        {"remainder of 298 characters", "// v " + Repeat('x', 297) + "statusx 77\n", false, 0,
         [](AppSettings& s) { s.statusX = 77; }, "", "", ""},
        {"remainder of exactly 298 characters and a line break",
         "// v " + Repeat('x', 297) + "\nstatusy 5\n", false, 0,
         [](AppSettings& s) { s.statusY = 5; }, "", "", ""},
        {"longer remainder is read as tokens", "// v " + Repeat('x', 296) + "statusx 77\n", false,
         -1, kDefaults,
         "status(instance ok, show 1, at 100 100)\n"
         "box(status, Parameter Error, [Unknown symbol in parameter file: tatusx\n])\n",
         "Unknown symbol in parameter file: tatusx\n", "Unknown symbol in parameter file: tatusx\n"},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(ParameterFile, LongTokensAreCutAt199Characters) {
    const std::string k199 = Repeat('k', 199);
    const std::string unknown = "Unknown symbol in parameter file: " + k199 + "\n";
    const Case cases[] = {
        // The value is 199 'n' (not "no"); its rest "statusx" is the next keyword.
        {"long value", "showradios " + Repeat('N', 199) + "statusx 42", false, 0,
         [](AppSettings& s) { s.statusX = 42; }, "", "", ""},
        {"250-character keyword", Repeat('K', 250) + " x", false, -1, kDefaults,
         "status(instance ok, show 1, at 100 100)\nbox(status, Parameter Error, [" + unknown + "])\n",
         unknown, unknown},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(ParameterFile, ErrorsAreShownLoggedAndStopTheReading) {
    const Case cases[] = {
        {"bad window count", "statusx 5 WIN Two statusy 9", false, -1,
         [](AppSettings& s) { s.statusX = 5; },
         "box(none, Parameter Error, [Unknown option for window count: two])\n", "",
         "Unknown option for window count: two\n"},
        {"win at the end with nothing before", "win", false, -1, kDefaults,
         "box(none, Parameter Error, [Unknown option for window count: ])\n", "",
         "Unknown option for window count: \n"},
        {"unknown keyword opens the Status window as read so far",
         "StatusX 400 showstatus no Colour red statusy 9", false, -1,
         [](AppSettings& s) { s.statusX = 400; s.showStatus = false; },
         "status(instance ok, show 0, at 400 100)\nbox(status, Parameter Error, [" + kUnknownColour +
             "])\n",
         kUnknownColour, kUnknownColour},
        // The token is data, never a format: "%%" shows as "%" in output and
        // log, like every logged line; the box shows the text as it is.
        {"percent signs in an unknown keyword", "50%%off%s 1", false, -1, kDefaults,
         "status(instance ok, show 1, at 100 100)\n"
         "box(status, Parameter Error, [Unknown symbol in parameter file: 50%%off%s\n])\n",
         "Unknown symbol in parameter file: 50%off%s\n",
         "Unknown symbol in parameter file: 50%off%s\n"},
        {"a single slash is no comment", "/ x", false, -1, kDefaults,
         "status(instance ok, show 1, at 100 100)\n"
         "box(status, Parameter Error, [Unknown symbol in parameter file: /\n])\n",
         "Unknown symbol in parameter file: /\n", "Unknown symbol in parameter file: /\n"},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(ParameterFile, NetworkKeywordsTakeAdapterAndDottedNode) {
    const auto box = [](const std::string& m) { return "box(none, Parameter Error, [" + m + "])\n"; };
    const std::string noAdapter = "Network adapter name or address expected after: adapter";
    const std::string noNode = "IPv4 address of the DB node expected for dbnode: ";
    const Case cases[] = {
        {"both, in any case", "Adapter ETH1 DBNODE 10.91.1.2", false, 0, [](AppSettings& s) {
             std::snprintf(s.networkAdapter, sizeof s.networkAdapter, "eth1");
             s.haveDbNode = true, s.dbNodeAddress = 0x0A5B0102;
         }, "", "", ""},
        {"adapter with nothing after it", "statusx 5 adapter", false, -1,
         [](AppSettings& s) { s.statusX = 5; }, box(noAdapter), "", noAdapter + "\n"},
        {"dbnode given a host name", "dbnode db.local", false, -1, kDefaults, box(noNode + "db.local"), "",
         noNode + "db.local\n"},
        {"dbnode first, loopback and last unicast", "dbnode 1.0.0.0 dbnode 127.0.0.1 dbnode 223.255.255.255",
         false, 0, [](AppSettings& s) { s.haveDbNode = true, s.dbNodeAddress = 0xDFFFFFFF; }, "", "", ""},
    };
    for (const Case& c : cases) Run(c);
    for (const std::string bad : {"0.0.0.0", "0.255.255.255", "224.0.0.0", "239.255.255.255", "255.255.255.255"})
        Run({bad.c_str(), "dbnode " + bad, false, -1, kDefaults, box(noNode + bad), "", noNode + bad + "\n"});
}

TEST_F(ParameterFile, WebKeywordsTakeAPortAndAllowedNets) {
    const auto box = [](const std::string& m) { return "box(none, Parameter Error, [" + m + "])\n"; };
    const std::string noPort = "TCP port number expected for web: ";
    const std::string noNet = "IPv4 address or ADDRESS/BITS expected for webcontrol: ";
    const std::string noName = "Host name expected for webname: ";
    const Case cases[] = {
        {"port and two nets", "WEB 8080 webcontrol 10.0.0.7 webcontrol 192.168.1.0/24", false, 0, [](AppSettings& s) {
             s.webPort = 8080;
             s.webControlCount = 2;
             s.webControlAddress[0] = 0x0A000007, s.webControlBits[0] = 32;
             s.webControlAddress[1] = 0xC0A80100, s.webControlBits[1] = 24;
         }, "", "", ""},
        {"port zero", "web 0", false, -1, kDefaults, box(noPort + "0"), "", noPort + "0\n"},
        {"port too big", "web 65536", false, -1, kDefaults, box(noPort + "65536"), "", noPort + "65536\n"},
        {"port with a sign", "web +80", false, -1, kDefaults, box(noPort + "+80"), "", noPort + "+80\n"},
        {"web at the end of the file", "statusx 5 web", false, -1, [](AppSettings& s) { s.statusX = 5; },
         box(noPort), "", noPort + "\n"},
        {"prefix over 32", "webcontrol 10.0.0.0/33", false, -1, kDefaults, box(noNet + "10.0.0.0/33"), "",
         noNet + "10.0.0.0/33\n"},
        {"empty prefix", "webcontrol 10.0.0.0/", false, -1, kDefaults, box(noNet + "10.0.0.0/"), "",
         noNet + "10.0.0.0/\n"},
        {"a host name", "webcontrol tablet.local", false, -1, kDefaults, box(noNet + "tablet.local"), "",
         noNet + "tablet.local\n"},
        {"a name, lower case", "webname PC-7.LAN", false, 0, [](AppSettings& s) {
             s.webNameCount = 1, std::snprintf(s.webName[0], kWebNameLength, "pc-7.lan"); }, "", "", ""},
        {"a name with a port", "webname pc:80", false, -1, kDefaults, box(noName + "pc:80"), "", noName + "pc:80\n"},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(ParameterFile, OnTopTakesOnlyYesOrNo) {
    const auto box = [](const std::string& m) { return "box(none, Parameter Error, [" + m + "])\n"; };
    const std::string bad = "yes or no expected for ontop: ";
    const Case cases[] = {
        {"yes, in any case", "OnTop YES", false, 0, [](AppSettings& s) { s.windowsOnTop = true; }, "", "", ""},
        {"the last one wins", "ontop yes statusx 3 ontop no", false, 0, [](AppSettings& s) { s.statusX = 3; },
         "", "", ""},
        {"unlike the show flags, other words are errors", "statusx 5 ontop on", false, -1,
         [](AppSettings& s) { s.statusX = 5; }, box(bad + "on"), "", bad + "on\n"},
        {"a prefix of yes", "ontop ye", false, -1, kDefaults, box(bad + "ye"), "", bad + "ye\n"},
        {"ontop at the end of the file", "ontop", false, -1, kDefaults, box(bad), "", bad + "\n"},
        {"ontop after a pair takes no value from it", "showauto yes ontop", false, -1, kDefaults, box(bad),
         "", bad + "\n"},
    };
    for (const Case& c : cases) Run(c);
}

}  // namespace
