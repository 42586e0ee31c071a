// Set-up against the real firmware in the simulator, its port on a
// pseudo-terminal as a board on USB: find, name, Learn and Identify.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "boards/board_host.h"
#include "boards/probe.h"
#include "boards/session.h"
#include "model/catalog.h"
#include "model/panel_model.h"
#include "model/setup_desk.h"
#include "platform/serial_ports.h"

namespace {

// orv-boardsim with its port at `link`, driven through its standard input.
struct Sim {
    explicit Sim(const std::string& link, const char* name) {
        unlink(link.c_str());
        int in[2];
        if (pipe(in) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(in[0], 0);
            const int out = open((link + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            execl(ORV_BOARDSIM, ORV_BOARDSIM, "--link", link.c_str(), "--name", name, ORV_FIRMWARE_ELF, nullptr);
            _exit(127);
        }
        close(in[0]);
        drive = in[1];
        for (int i = 0; i < 500 && access(link.c_str(), F_OK) != 0; ++i) usleep(10000);
    }
    ~Sim() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        close(drive);
    }
    void Drive(const std::string& command) const {
        const std::string line = command + "\n";
        EXPECT_EQ(write(drive, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    pid_t pid = -1;
    int drive = -1;
};

std::string Link(const char* name) { return std::string(ORV_TEST_WORK) + "/" + name; }

// Whether the simulator has reported `line`.
bool Reported(const std::string& link, const std::string& line) {
    std::ifstream out(link + ".out");
    for (std::string got; std::getline(out, got);)
        if (got == line) return true;
    return false;
}

bool Within(int ms, const std::function<bool()>& done) {
    for (int i = 0; i < ms / 10; ++i, usleep(10000))
        if (done()) return true;
    return done();
}

TEST(BoardSetup, FindTellsBoardsSilenceAndBusyPortsApartInBoundedTime) {
    const Sim sim(Link("found"), "mcp");
    const int master = posix_openpt(O_RDWR | O_NOCTTY);  // a port nobody answers on
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string silent = ptsname(master);
    const Sim busy(Link("busy"), "held");
    platform::SerialPort holder{};
    ASSERT_EQ(platform::OpenSerial(Link("busy").c_str(), boards::kBaud, &holder), platform::SerialOpen::Ok);

    setenv("ORV_SERIAL_PORTS", (Link("found") + ":" + silent + "::" + Link("busy") + ":/nonexistent/tty").c_str(), 1);
    const std::vector<std::string> ports = platform::ListSerialPorts();
    ASSERT_GE(ports.size(), 4u);
    const std::vector<std::string> ours(ports.end() - 4, ports.end());
    const auto start = std::chrono::steady_clock::now();
    const std::vector<model::FoundPort> found = boards::ProbePorts(ours);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(boards::kProbeMs + 1000));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].state, model::FoundState::Board);
    EXPECT_EQ(found[0].name, "mcp");
    EXPECT_EQ(found[0].version, 1);
    EXPECT_EQ(found[1].state, model::FoundState::NoAnswer);
    EXPECT_EQ(found[2].state, model::FoundState::InUse);
    EXPECT_EQ(found[3].state, model::FoundState::CannotOpen);
    platform::CloseSerial(&holder);
    close(master);
}

TEST(BoardSetup, NamingStoresTheNameOrSaysWhy) {
    const Sim sim(Link("named"), "old");
    std::string why;
    EXPECT_FALSE(boards::NameBoardOn(Link("named"), "Left", &why));
    EXPECT_FALSE(why.empty());
    ASSERT_TRUE(boards::NameBoardOn(Link("named"), "left-1", &why)) << why;
    const model::FoundPort found = boards::ProbePort(Link("named"));
    EXPECT_EQ(found.name, "left-1");
    EXPECT_FALSE(boards::NameBoardOn("/nonexistent/tty", "left", &why));
}

TEST(BoardSetup, LearnWatchesFreePinsIdentifiesAndGivesTheBoardBack) {
    const Sim sim(Link("learn"), "mcp");
    static model::Catalog catalog;
    model::PanelModel panels(catalog);
    model::SetupDesk desk;
    boards::BoardHost host(panels, &desk);
    host.Start({boards::BoardMap{"mcp", Link("learn"), {}, {}}});
    const auto state = [&desk] { return desk.Snapshot().boards.at(0).state; };
    ASSERT_TRUE(Within(8000, [&] { return state() == model::BoardState::Connected; }));
    EXPECT_TRUE(Within(2000, [&] { return desk.Snapshot().boards[0].badLines == 0; }));

    std::string why;
    EXPECT_FALSE(host.StartLearn("other", &why));
    ASSERT_TRUE(host.StartLearn("mcp", &why)) << why;
    EXPECT_TRUE(Within(1000, [&] { return state() == model::BoardState::Learning; }));
    ASSERT_TRUE(Within(8000, [&] { return desk.Snapshot().learn.status == model::LearnStatus::Working; }));
    // A Nano: 18 free pins, 16 inputs.
    EXPECT_EQ(desk.Snapshot().learn.unwatched, (std::vector<int>{18, 19}));

    const auto offer = [&desk](int pin) {
        for (const model::LearnPin& p : desk.Snapshot().learn.pins)
            if (p.pin == pin) return std::pair(p.offer, p.pairPin);
        return std::pair(model::PinOffer::Unknown, -1);
    };
    sim.Drive("pulse 5 100");
    EXPECT_TRUE(Within(2000, [&] { return offer(5) == std::pair(model::PinOffer::Button, 0); }));
    sim.Drive("turn 7 8 1 5");
    EXPECT_TRUE(Within(3000, [&] { return offer(7) == std::pair(model::PinOffer::Encoder, 8); }));

    EXPECT_FALSE(host.Identify({1}, &why));
    ASSERT_TRUE(host.Identify({9}, &why)) << why;
    EXPECT_TRUE(Within(3000, [&] { return desk.Snapshot().learn.status == model::LearnStatus::Working; }));
    EXPECT_TRUE(Within(3000, [] { return Reported(Link("learn"), "led 9 1"); }));

    host.StopLearn();
    EXPECT_EQ(desk.Snapshot().learn.board, "");
    EXPECT_TRUE(Within(8000, [&] { return state() == model::BoardState::Connected; }));
    host.Stop();
}

}  // namespace
