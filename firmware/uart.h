// The serial port: 115200 8N1, interrupt-driven, buffered both ways.
#pragma once

#include <stdint.h>

namespace fw {

void UartInit();
// The next received byte, or -1.
int UartRead();
bool UartPending();
// Queues bytes, waiting while the send buffer is full.
void UartWrite(const char* data, uint8_t length);

}  // namespace fw
