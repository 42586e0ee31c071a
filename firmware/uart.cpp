#include "firmware/uart.h"

#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

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

// A lost byte is marked in the buffer by kMark, followed by kMarkLost or
// kMarkLostLine: the last slot is kept for the mark's two bytes, and a "\0"
// never comes from a sender, whose lines are printable.
volatile uint8_t rx[kRxSize];
volatile uint8_t rx_head, rx_tail;
const uint8_t kMark = 0;
const uint8_t kMarkLost = 1;
const uint8_t kMarkLostLine = 2;
volatile bool losing;       // bytes are being lost: a mark is due
volatile bool lost_newline;  // the last byte lost was a "\n"
volatile uint16_t lost_lines;
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

namespace {

uint8_t RxUsed() { return (rx_head - rx_tail) & (kRxSize - 1); }

void RxPut(uint8_t c) {
    rx[rx_head] = c;
    rx_head = (rx_head + 1) & (kRxSize - 1);
}

// Ends a run of lost bytes with its mark; in the receive interrupt or with
// interrupts off.
void MarkLoss() {
    RxPut(kMark);
    RxPut(lost_newline ? kMarkLostLine : kMarkLost);
    losing = false;
}

uint8_t RxTake() {
    const uint8_t c = rx[rx_tail];
    rx_tail = (rx_tail + 1) & (kRxSize - 1);
    return c;
}

}  // namespace

int UartRead() {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        // Once everything before it is read, a loss is marked at once: the
        // next byte to arrive would find room.
        if (rx_head == rx_tail && losing) MarkLoss();
    }
    if (rx_head == rx_tail) return -1;
    const uint8_t c = RxTake();
    if (c != kMark) return c;
    // The mark's second byte is always written with the first.
    return RxTake() == kMarkLostLine ? kUartLostLine : kUartLost;
}

bool UartPending() { return rx_head != rx_tail || losing; }

uint16_t UartTakeLostLines() {
    uint16_t n;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        n = lost_lines;
        lost_lines = 0;
    }
    return n;
}

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
    const uint8_t c = UDR0;
    // Room for the byte and, should the next be lost, a mark: 127 slots
    // usable, two kept.
    if (RxUsed() < kRxSize - 3) {
        if (losing) MarkLoss();
        // A NUL would read as a mark: it is noise, and any other
        // non-printable byte fails the line's checksum just the same.
        RxPut(c == kMark ? 0xff : c);
        return;
    }
    // Lost. Every "\n" lost joins two lines into one; the last one lost is
    // told by the mark instead.
    if (losing && lost_newline) lost_lines = lost_lines + 1;
    losing = true;
    lost_newline = c == '\n';
}

ISR(UDRE_VECT) {
    if (tx_head == tx_tail) {
        UCSR0B &= static_cast<uint8_t>(~_BV(UDRIE0));
        return;
    }
    UDR0 = tx[tx_tail];
    tx_tail = (tx_tail + 1) & (kTxSize - 1);
}
