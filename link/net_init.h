// Bringing the simulator link up once at start-up.
#pragma once
#include <cstdint>

// Builds the variable table, creates the data and flight-plan mutexes, binds
// the monitor socket, starts the receiver and monitor threads and opens the
// broadcast socket. 0 on success, -1 on failure.
int InitUdp(int monitorPort, int nodeNumber, const char* ipText, const char* maskText,
            int versionMajor, int versionMinor);
