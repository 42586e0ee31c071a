#include "firmware/uart.h"

#include <avr/interrupt.h>
#include <avr/io.h>

#if defined(USART0_RX_vect)
#define RX_VECT USART0_RX_vect
#define UDRE_VECT USART0_UDRE_vect
#else
#define RX_VECT USART_RX_vect
#define UDRE_VECT USART_UDRE_vect
#endif

namespace fw {

namespace {

const uint32_t kBaud = 115200;
// Power-of-two sizes, so that the indexes wrap by masking.
const uint8_t kRxSize = 128;
const uint8_t kTxSize = 128;

volatile char rx[kRxSize];
volatile uint8_t rx_head, rx_tail;
volatile char tx[kTxSize];
volatile uint8_t tx_head, tx_tail;

}  // namespace

void UartInit() {
    // Double speed: 16 MHz / 8 / 17 is 2.1 % off 115200, single speed 3.5 %.
    UCSR0A = _BV(U2X0);
    UBRR0 = static_cast<uint16_t>((F_CPU / 8 + kBaud / 2) / kBaud - 1);
    UCSR0C = _BV(UCSZ01) | _BV(UCSZ00);
    UCSR0B = _BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0);
}

int UartRead() {
    if (rx_head == rx_tail) return -1;
    const char c = rx[rx_tail];
    rx_tail = (rx_tail + 1) & (kRxSize - 1);
    return static_cast<uint8_t>(c);
}

bool UartPending() { return rx_head != rx_tail; }

void UartWrite(const char* data, uint8_t length) {
    for (uint8_t i = 0; i < length; ++i) {
        const uint8_t next = (tx_head + 1) & (kTxSize - 1);
        while (next == tx_tail) {
        }
        tx[tx_head] = data[i];
        tx_head = next;
        UCSR0B |= _BV(UDRIE0);
    }
}

}  // namespace fw

using namespace fw;

ISR(RX_VECT) {
    const char c = UDR0;
    const uint8_t next = (rx_head + 1) & (kRxSize - 1);
    // A full buffer drops the byte; the line it belonged to then fails its
    // checksum and is counted, never acted on.
    if (next != rx_tail) {
        rx[rx_head] = c;
        rx_head = next;
    }
}

ISR(UDRE_VECT) {
    if (tx_head == tx_tail) {
        UCSR0B &= static_cast<uint8_t>(~_BV(UDRIE0));
        return;
    }
    UDR0 = tx[tx_tail];
    tx_tail = (tx_tail + 1) & (kTxSize - 1);
}
