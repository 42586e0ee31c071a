// Supervision of the take-off/go-around switch and its hand-over to autothrust.
#pragma once

// Once per FMC cycle, last; the first call only records the switches.
void ProcessTOGA();
