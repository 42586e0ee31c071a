// Reading and setting Sim variables: the only way the FMC, the keyboard and
// the panels reach the simulator. Reads work on the working copy, refreshed
// from the master table first; sets store locally and, with the link up,
// send a variable update to the DB node.
#pragma once
#include <cstdint>

#include "protocol/vars.h"

void FreshenCopy();
bool CheckVar(std::int32_t index);
std::int32_t GetIntVar(std::int32_t index);
double GetRealVar(std::int32_t index);
void SetIntVar(std::int32_t index, std::int32_t value);
void SetRealVar(std::int32_t index, double value);
bool SetAndConfirm(std::int32_t index, std::int32_t value);
void KeyCRi(std::int32_t index, std::int32_t value);
// The real-valued twin of KeyCRi, without its exception above 184: sets only
// while the simulator is connected.
void KeyCRd(std::int32_t index, double value);
