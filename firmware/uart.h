// The serial port: 115200 8N1, interrupt-driven, buffered both ways.
#pragma once

#include <stdint.h>

namespace fw {

void UartInit();
// The next received byte, or -1, or one of the marks below where received
// bytes were lost because the receive buffer was full.
int UartRead();
bool UartPending();
// Bytes were lost here, within a line: the line they belonged to is damaged.
const int kUartLost = 0x100;
// The same, and the last byte lost was a "\n": the damaged line ends here.
const int kUartLostLine = 0x101;
// How many "\n" were lost besides those a kUartLostLine marks, since the
// last call: each is one more damaged line.
uint16_t UartTakeLostLines();
// Queues bytes, waiting while the send buffer is full.
void UartWrite(const char* data, uint8_t length);

}  // namespace fw
