// Asks for control: a read-only browser asks, the set-up page allows or
// denies. Limits keep one browser from flooding the set-up page with codes.
// Pure: the time comes with each call and the codes from a source handed
// over, so every limit is tested without waiting.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace web {

struct PendingAsk {
    std::uint64_t id = 0;
    std::uint32_t address = 0;  // host byte order
    std::string code;           // four digits, shown on both pages
    std::int64_t askedMs = 0;
    // The open sockets of that address that asked: the ask goes with the last.
    std::vector<std::uint64_t> owners;
};

enum class AskResult { Asked, AlreadyAllowed, TooMany, TooOften };

// The page's words for a refusal ("" for Asked).
const char* AskRefusalText(AskResult result);

class ControlAsks {
public:
    static constexpr std::size_t kMaxPending = 4;
    static constexpr int kMaxPerMinute = 3;  // new asks from one address
    static constexpr std::int64_t kLapseMs = 2 * 60 * 1000;

    // `random` gives any unsigned number; its last four digits make a code.
    explicit ControlAsks(std::function<std::uint32_t()> random) : random_(std::move(random)) {}

    // `owner` is the asking socket (never 0). A repeat from an address with
    // an ask pending returns the same code and is not counted again.
    AskResult Ask(std::uint32_t address, std::uint64_t owner, bool allowed, std::int64_t nowMs, std::string* code);
    // The socket `owner` closed: asks no open socket holds any more go.
    // True when any went.
    bool Withdraw(std::uint64_t owner);
    // Drops every pending ask; how many there were.
    std::size_t Clear();
    // Drops the asks older than two minutes; true when any went.
    bool Lapse(std::int64_t nowMs);
    // Removes the pending ask `id` into `out`; false when none is pending.
    bool Take(std::uint64_t id, std::int64_t nowMs, PendingAsk* out);
    const std::vector<PendingAsk>& Pending() const { return pending_; }

private:
    std::function<std::uint32_t()> random_;
    std::vector<PendingAsk> pending_;
    std::vector<std::pair<std::uint32_t, std::int64_t>> recent_;  // new asks of the last minute
    std::uint64_t nextId_ = 1;
};

}  // namespace web
