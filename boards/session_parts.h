// What session.cpp and session_setup.cpp share: the steps they emit and the
// set-up tasks' part of the state machine. Not for drivers.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "boards/session.h"

namespace boards::session_parts {

// Before any clock reading a test or a steady clock gives: "never".
constexpr std::int64_t kLongAgo = INT64_MIN / 4;

void Log(SessionSteps* out, std::string text);
void Write(SessionSteps* out, std::string_view body);
// An already formatted line (or a bare "\n").
void WriteRaw(SessionSteps* out, std::string text);
void Close(SessionSteps* out);
// A running board's ping and silence; false when it has been silent too long.
bool KeepAlive(BoardSession* s, std::int64_t now, SessionSteps* out);

// The set-up tasks' events, for the modes other than Run.
void SetupOpenFailed(BoardSession* s, platform::SerialOpen why, SessionSteps* out);
void SetupLost(BoardSession* s, SessionSteps* out);
void SetupLine(BoardSession* s, const BoardLine& line, std::int64_t now, SessionSteps* out);
void SetupTick(BoardSession* s, std::int64_t now, SessionSteps* out);
std::int64_t SetupNextDue(const BoardSession* s);

}  // namespace boards::session_parts
