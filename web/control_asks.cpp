#include "web/control_asks.h"

#include <algorithm>
#include <cstdio>

namespace web {

namespace {
constexpr std::int64_t kMinuteMs = 60 * 1000;
}

const char* AskRefusalText(AskResult result) {
    switch (result) {
        case AskResult::Asked: return "";
        case AskResult::AlreadyAllowed: return "already allowed";
        case AskResult::TooMany: return "too many asks waiting";
        case AskResult::TooOften: return "asked too often";
    }
    return "";
}

AskResult ControlAsks::Ask(std::uint32_t address, std::uint64_t owner, bool allowed, std::int64_t nowMs,
                           std::string* code) {
    if (allowed) return AskResult::AlreadyAllowed;
    Lapse(nowMs);
    for (PendingAsk& ask : pending_) {
        if (ask.address != address) continue;
        if (std::find(ask.owners.begin(), ask.owners.end(), owner) == ask.owners.end()) ask.owners.push_back(owner);
        *code = ask.code;
        return AskResult::Asked;
    }
    std::erase_if(recent_, [nowMs](const auto& r) { return nowMs - r.second >= kMinuteMs; });
    const auto fromHere = std::count_if(recent_.begin(), recent_.end(), [address](const auto& r) { return r.first == address; });
    if (fromHere >= kMaxPerMinute) return AskResult::TooOften;
    if (pending_.size() >= kMaxPending) return AskResult::TooMany;
    // Two pending asks never show the same code: the builder tells them apart by it.
    char digits[8];
    for (bool taken = true; taken;) {
        std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(random_() % 10000));
        taken = std::any_of(pending_.begin(), pending_.end(), [&](const PendingAsk& a) { return a.code == digits; });
    }
    pending_.push_back(PendingAsk{nextId_++, address, digits, nowMs, {owner}});
    recent_.emplace_back(address, nowMs);
    *code = digits;
    return AskResult::Asked;
}

bool ControlAsks::Lapse(std::int64_t nowMs) {
    return std::erase_if(pending_, [nowMs](const PendingAsk& a) { return nowMs - a.askedMs >= kLapseMs; }) > 0;
}

bool ControlAsks::Withdraw(std::uint64_t owner) {
    for (PendingAsk& ask : pending_) std::erase(ask.owners, owner);
    return std::erase_if(pending_, [](const PendingAsk& a) { return a.owners.empty(); }) > 0;
}

std::size_t ControlAsks::Clear() {
    const std::size_t n = pending_.size();
    pending_.clear();
    return n;
}

bool ControlAsks::Take(std::uint64_t id, std::int64_t nowMs, PendingAsk* out) {
    Lapse(nowMs);
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it->id != id) continue;
        *out = *it;
        pending_.erase(it);
        return true;
    }
    return false;
}

}  // namespace web
