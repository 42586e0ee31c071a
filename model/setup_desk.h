// The set-up desk: where the set-up page and the program's set-up worker
// meet. Pages (on the web server's thread) post requests and read a snapshot
// of what the cockpit looks like; the worker (a thread of app/) takes the
// requests, acts on boards and the parameter file, and publishes what it
// found. Neither side sees the other: the web host sees only this object,
// handed to it by app/, like the panel model.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace model {

// A range of IPv4 addresses (host byte order), as `webcontrol` and
// `websetup` give them.
struct NetRange {
    std::uint32_t address = 0;
    int bits = 32;
};

// What a configured board is doing, as the page shows it.
enum class BoardState {
    Starting,
    Connected,
    Lost,
    CannotOpen,
    InUse,         // the port is in use by another program
    NoHello,
    OtherName,     // it said hello with another name (heardName)
    OtherVersion,  // it speaks another protocol version (version)
    Learning,
};

// One configured board as the page shows it.
struct BoardView {
    std::string name;
    std::string port;
    BoardState state = BoardState::Starting;
    std::string heardName; // OtherName: the name the board gave ("-": none)
    int version = 0;       // the hello's protocol version; 0: not heard yet
    long badLines = -1;    // the last STATS answer; -1: not known
    std::string lastInput; // the last input line, e.g. "D 7" or "E 4 -1"; "" none
};

// A serial port "Find boards" looked at.
enum class FoundState { NoAnswer, Board, InUse, CannotOpen };
struct FoundPort {
    std::string port;
    FoundState state = FoundState::NoAnswer;  // Board: it said hello
    std::string name;  // its hello's name; "-" when it has none
    int version = 0;
};

// What Learn makes of a pin; Unknown while nothing can be told yet.
enum class PinOffer { Unknown, Button, Switch, Encoder };

// One pin as Learn sees it: the inputs the builder works, classified.
struct LearnPin {
    int pin = 0;
    bool closed = false;   // the pin's level now
    int changes = 0;       // reports since Learn began
    PinOffer offer = PinOffer::Unknown;
    int pairPin = 0;       // encoders: the other pin, ordered so that the
                           // builder's clockwise turn counts up (A, then B)
    bool encoderA = false; // encoders: this pin is A (the one that closed first)
    bool pulses = false;   // encoders: a pair of buttons pulsing in turn, one per
                           // direction (a controller's), not in quadrature
    friend bool operator==(const LearnPin&, const LearnPin&) = default;
};

// Where Learn is with its board.
enum class LearnStatus {
    None,
    Configuring,
    Working,
    RefusedLight,  // the board refused to light Identify's pins (detail: its ERR)
    NoHello,
    OtherBoard,    // the board on the port has another name (detail: it)
    NotTaken,      // the board did not take the Learn configuration
    InUse,
    CannotOpen,
};

struct LearnView {
    std::string board;     // "" when no board is in Learn
    std::string port;      // the board's
    LearnStatus status = LearnStatus::None;
    std::string detail;    // as the status says
    bool ended = false;    // Learn ended by itself; the board's session has it again
    std::vector<LearnPin> pins;
    std::vector<int> unwatched;  // free pins the board refused to watch
    friend bool operator==(const LearnView&, const LearnView&) = default;
};

// One keyword of the parameter file as the program read it: the page shows
// these and names them back by `index` to remove one; it never reads the
// file's text itself.
struct FileEntry {
    int index = 0;                    // in the file's entries, comments counted
    std::string keyword;              // lower case
    std::vector<std::string> values;  // as written
    int line = 0;                     // 1-based line of the keyword
    bool board = false;               // a board line (board, button, switch...)
};

// The parameter file as the page may edit it.
struct FileView {
    std::string path;
    std::string text;      // as last read from disk; the page only shows it
    std::string revision;  // changes whenever the text does; sent back with changes
    std::vector<FileEntry> entries;  // no comments; empty when the text does not read
};

// What became of one request (a save, a reload): sent to the page that
// asked, and to no other.
struct OutcomeView {
    std::uint64_t request = 0;  // the request's id
    bool ok = false;
    std::string message;        // for the page, e.g. the parser's complaint
    int line = 0;               // 1-based line the message is about; 0 none
    std::string diskText;       // when the file changed on disk: what it is now
    // Around `line`: the lines as the change would have written them.
    int contextFrom = 0;        // 1-based line of context[0]
    std::vector<std::string> context;
};

struct SetupSnapshot {
    std::uint64_t version = 0;  // grows with every publish
    std::vector<BoardView> boards;
    bool finding = false;
    std::vector<FoundPort> found;
    LearnView learn;
    FileView file;
    std::vector<NetRange> control;  // `webcontrol` in effect now
    std::vector<NetRange> setup;    // `websetup` in effect now
};

// One change of the parameter file, by meaning: the program finds the
// lines and writes them.
struct FileChange {
    enum class Kind {
        AddMapping,   // `type board pins.. control`, e.g. button mcp 5 key_a
        AddBoard,     // `board board port`
        RemoveEntry,  // entry `entry` of the revision read
        AllowDevice,  // webcontrol `net`
        RevokeDevice, // every webcontrol entry giving `net`
    };
    Kind kind = Kind::AddMapping;
    std::string type;       // AddMapping: button, switch, encoder, led, display
    std::string board;      // AddMapping, AddBoard
    std::vector<int> pins;  // AddMapping
    std::string control;    // AddMapping: the control's name
    std::string port;       // AddBoard
    int entry = 0;          // RemoveEntry
    NetRange net;           // AllowDevice, RevokeDevice
};

struct SetupRequest {
    enum class Kind {
        FindBoards,        // list and probe the free serial ports
        NameBoard,         // port, name: NAME, then wait for NAMED
        StartLearn,        // board
        StopLearn,         // restores the board's configuration
        Identify,          // board, pins: one (LED) or three (display DIN CLK CS)
        SaveChanges,       // revision, changes
        SaveWindowLayout,  // the panel windows' positions as x/y lines
        ReloadFile,        // read the file again
    };
    Kind kind = Kind::ReloadFile;
    std::uint64_t id = 0;  // set by Post
    std::string from;      // the address that asked, for the log
    std::string board;
    std::string port;
    std::string name;
    std::vector<int> pins;
    std::string revision;
    std::vector<FileChange> changes;
};

class SetupDesk {
public:
    // Most requests waiting; one more is refused (Post returns 0).
    static constexpr std::size_t kQueueMax = 16;

    // Any thread. The request's id (never 0), or 0 when the queue is full.
    std::uint64_t Post(SetupRequest request);
    // The worker: waits for the next request; false once Interrupt was
    // called (a stop), leaving `out` untouched.
    bool Take(SetupRequest* out);
    // Ends every Take now and from now on, until Resume.
    void Interrupt();
    void Resume();

    // Changes the snapshot under the desk's lock and tells the listeners.
    // `edit` must not call back into the desk.
    void Publish(const std::function<void(SetupSnapshot&)>& edit);
    SetupSnapshot Snapshot() const;
    std::uint64_t Version() const;

    // The worker: what became of a request, kept for the page that posted
    // it (after any Publish of what the request changed) and the listeners
    // told. Each request's outcome is kept on its own until taken; the
    // oldest go once kOutcomesKept wait, as their pages must be gone.
    static constexpr std::size_t kOutcomesKept = 64;
    void Answer(OutcomeView outcome);
    // The outcome of `request`, removed; false when there is none (yet).
    bool TakeOutcome(std::uint64_t request, OutcomeView* out);
    // The page that posted `request` is gone: its outcome is not wanted.
    void DropOutcome(std::uint64_t request);

    // Called (on the publisher's thread, outside the lock) after each
    // publish; it must not block. Returns an id for Unlisten (never 0).
    int Listen(std::function<void()> listener);
    void Unlisten(int id);

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<SetupRequest> queue_;
    bool interrupted_ = false;
    std::uint64_t nextId_ = 1;
    SetupSnapshot snapshot_;
    std::deque<OutcomeView> outcomes_;
    int nextListener_ = 1;
    std::vector<std::pair<int, std::function<void()>>> listeners_;
};

}  // namespace model
