#include "boards/board_host.h"

#include <cstdlib>

#include "base/log.h"
#include "boards/probe.h"
#include "model/setup_desk.h"
#include "platform/serial_ports.h"

namespace boards {
namespace {

// A port by what it leads to, so a by-id link and its device are one.
std::string RealPort(const std::string& port) {
#ifdef _WIN32
    return port;
#else
    char* real = realpath(port.c_str(), nullptr);
    const std::string out = real != nullptr ? real : port;
    std::free(real);
    return out;
#endif
}

bool ValidPin(int pin) { return board_rules::PinInRange(pin, board_rules::kLargest); }

}  // namespace

BoardHost::BoardHost(model::PanelModel& model, model::SetupDesk* desk) : model_(model), desk_(desk) {}

BoardHost::~BoardHost() { Stop(); }

void BoardHost::StartBoard(std::size_t index, bool learn) {
    Board& b = boards_[index];
    b.run = std::make_shared<BoardRun>(b.map, model_, desk_, index);
    if (b.haveLast) b.run->published = b.last;
    b.threads = std::make_unique<ThreadOwner>();
    std::shared_ptr<BoardRun> run = b.run;
    LearnControl* control = &learn_;
    if (learn)
        b.threads->Start([run, control](platform::StopSignal& stop) { RunLearn(run.get(), control, stop); },
                         [run] { run->Wake(); });
    else
        b.threads->Start([run](platform::StopSignal& stop) { RunBoard(run.get(), stop); }, [run] { run->Wake(); });
}

void BoardHost::StopBoard(std::size_t index) {
    Board& b = boards_[index];
    if (b.threads) b.threads->StopAll();
    b.threads.reset();
    if (b.run) {  // its thread has ended
        b.last = b.run->published;
        b.haveLast = true;
    }
    b.run.reset();
}

void BoardHost::Start(std::vector<BoardMap> maps) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < boards_.size(); ++i) StopBoard(i);
    boards_.clear();
    learning_ = -1;
    for (BoardMap& map : maps) boards_.push_back(Board{std::move(map), nullptr, nullptr, {}, false});
    if (desk_ != nullptr)
        desk_->Publish([this](model::SetupSnapshot& snapshot) {
            snapshot.boards.clear();
            for (const Board& b : boards_) {
                model::BoardView view;
                view.name = b.map.name;
                view.port = b.map.port;
                snapshot.boards.push_back(view);
            }
            snapshot.learn = model::LearnView{};
        });
    for (std::size_t i = 0; i < boards_.size(); ++i) StartBoard(i, false);
}

void BoardHost::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    // The last started first, as one owner would.
    for (std::size_t i = boards_.size(); i-- > 0;) StopBoard(i);
    learning_ = -1;
}

void BoardHost::Reconfigure(std::vector<BoardMap> maps) {
    Stop();
    Start(std::move(maps));
}

bool BoardHost::UsedPort(const std::string& port) const {
    const std::string real = RealPort(port);
    for (const Board& b : boards_)
        if (b.threads && (b.map.port == port || RealPort(b.map.port) == real)) return true;
    return false;
}

std::vector<model::FoundPort> BoardHost::FindBoards() {
    std::vector<std::string> ports;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& port : platform::ListSerialPorts())
            if (!UsedPort(port)) ports.push_back(port);
    }
    if (desk_ != nullptr) desk_->Publish([](model::SetupSnapshot& snapshot) { snapshot.finding = true; });
    std::vector<model::FoundPort> found = ProbePorts(ports);
    if (desk_ != nullptr)
        desk_->Publish([&found](model::SetupSnapshot& snapshot) {
            snapshot.finding = false;
            snapshot.found = found;
        });
    return found;
}

bool BoardHost::NameBoard(const std::string& port, const std::string& name, std::string* why) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Board& b : boards_)
            if (b.threads && RealPort(b.map.port) == RealPort(port)) {
                *why = port + " is board " + b.map.name + "'s, which is running";
                return false;
            }
    }
    if (!NameBoardOn(port, name, why)) return false;
    // The page's list of found boards shows the new name at once.
    if (desk_ != nullptr) {
        desk_->Publish([&](model::SetupSnapshot& s) {
            for (model::FoundPort& f : s.found)
                if (f.port == port) f.name = name;
        });
    }
    return true;
}

bool BoardHost::StartLearn(const std::string& board, std::string* why) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t index = boards_.size();
    for (std::size_t i = 0; i < boards_.size(); ++i)
        if (boards_[i].map.name == board) index = i;
    if (index == boards_.size()) {
        *why = "no board " + board + " in the parameter file";
        return false;
    }
    EndLearn();
    {
        std::lock_guard<std::mutex> control(learn_.mutex);
        learn_.identifyWanted = false;
        learn_.identify.clear();
    }
    StopBoard(index);
    learning_ = static_cast<int>(index);
    StartBoard(index, true);
    return true;
}

// Under the lock.
void BoardHost::EndLearn() {
    if (learning_ < 0) return;
    const std::size_t index = static_cast<std::size_t>(learning_);
    learning_ = -1;
    StopBoard(index);
    if (desk_ != nullptr) desk_->Publish([](model::SetupSnapshot& snapshot) { snapshot.learn = model::LearnView{}; });
    StartBoard(index, false);
}

void BoardHost::StopLearn() {
    std::lock_guard<std::mutex> lock(mutex_);
    EndLearn();
}

bool BoardHost::Identify(const std::vector<int>& pins, std::string* why) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (learning_ < 0) {
        *why = "no board is in Learn";
        return false;
    }
    if (pins.size() != 1 && pins.size() != 3) {
        *why = "one pin (an LED) or three (a display's DIN, CLK and CS)";
        return false;
    }
    for (std::size_t i = 0; i < pins.size(); ++i) {
        if (!ValidPin(pins[i])) {
            *why = "pin " + std::to_string(pins[i]) + " does not exist";
            return false;
        }
        for (std::size_t j = 0; j < i; ++j)
            if (pins[j] == pins[i]) {
                *why = "pin " + std::to_string(pins[i]) + " given twice";
                return false;
            }
    }
    const Board& b = boards_[static_cast<std::size_t>(learning_)];
    {
        std::lock_guard<std::mutex> control(learn_.mutex);
        learn_.identify = pins;
        learn_.identifyWanted = true;
    }
    b.run->Wake();
    return true;
}

}  // namespace boards
