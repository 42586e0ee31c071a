// The board: reads its configuration from the program, then reports inputs
// and drives outputs, all by the line protocol.
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <avr/wdt.h>
#include <string.h>

#include "firmware/board_name.h"
#include "firmware/inputs.h"
#include "firmware/limits.h"
#include "firmware/line.h"
#include "firmware/max7219.h"
#include "firmware/pins.h"
#include "firmware/segments.h"
#include "firmware/uart.h"

using namespace fw;

namespace {

char name[kMaxName + 1];
uint8_t leds[kMaxLeds];
uint8_t led_count;
Max7219 displays[kDisplaySlots];
bool display_used[kDisplaySlots];
uint8_t display_count;
// Pins taken by the configuration, one bit each.
uint8_t pins_used[(kPinLimit + 7) / 8];
uint16_t bad_lines;
uint16_t last_report[kMaxEncoders];

void Send(const char* words, int32_t number, bool with_number) {
    char line[kMaxLine + 8];
    uint8_t n = PutText(line, 0, words);
    if (with_number) n = PutNumber(line, n, number);
    UartWrite(line, FinishLine(line, n));
}

void SendWord(const char* words) { Send(words, 0, false); }
void SendNumber(const char* words, int32_t number) { Send(words, number, true); }

void SendHello() {
    char line[kMaxLine + 8];
    uint8_t n = PutText(line, 0, "HELLO ORVB 1 ");
    n = PutText(line, n, name[0] != '\0' ? name : "-");
    UartWrite(line, FinishLine(line, n));
}

void LoadName() {
    uint8_t raw[kMaxName];
    eeprom_read_block(raw, reinterpret_cast<const void*>(kNameAddress), kMaxName);
    uint8_t length = 0;
    while (length < kMaxName && raw[length] != 0 && raw[length] != 0xff) ++length;
    memcpy(name, raw, length);
    name[length] = '\0';
    // An erased or damaged EEPROM reads as no name.
    if (!ValidName(name, length)) name[0] = '\0';
}

void StoreName(const char* text, uint8_t length) {
    uint8_t raw[kMaxName];
    memset(raw, 0, sizeof raw);
    memcpy(raw, text, length);
    eeprom_update_block(raw, reinterpret_cast<void*>(kNameAddress), kMaxName);
    LoadName();
}

bool PinTaken(uint8_t pin) { return (pins_used[pin >> 3] & (1 << (pin & 7))) != 0; }
void TakePin(uint8_t pin) { pins_used[pin >> 3] |= static_cast<uint8_t>(1 << (pin & 7)); }

// True when every pin is usable, free and distinct; else answers ERR pin.
bool ClaimPins(const uint16_t* pins, uint8_t count) {
    for (uint8_t i = 0; i < count; ++i) {
        bool ok = pins[i] < kPinLimit && PinUsable(static_cast<uint8_t>(pins[i])) &&
                  !PinTaken(static_cast<uint8_t>(pins[i]));
        for (uint8_t j = 0; j < i; ++j) ok = ok && pins[j] != pins[i];
        if (!ok) {
            SendWord("ERR pin");
            return false;
        }
    }
    for (uint8_t i = 0; i < count; ++i) TakePin(static_cast<uint8_t>(pins[i]));
    return true;
}

bool Room(bool room) {
    if (!room) SendWord("ERR full");
    return room;
}

void Clear() {
    ClearInputs();
    for (uint8_t i = 0; i < led_count; ++i) PinRelease(PinOf(leds[i]));
    for (uint8_t i = 0; i < kDisplaySlots; ++i)
        if (display_used[i]) Max7219Stop(displays[i]);
    // Inputs go back to floating inputs too.
    for (uint8_t pin = 2; pin < kPinLimit; ++pin)
        if (PinTaken(pin)) PinRelease(PinOf(pin));
    led_count = 0;
    display_count = 0;
    memset(display_used, 0, sizeof display_used);
    memset(pins_used, 0, sizeof pins_used);
}

void ReportSwitches() {
    // Every input is sampled within 0.5 ms of being set up: wait for that.
    const uint16_t start = Ticks();
    while (static_cast<uint16_t>(Ticks() - start) < 2 * kTicksPerMs) {
    }
    for (uint8_t i = 0; i < InputCount(); ++i) {
        if (!InputIsSwitch(i)) continue;
        uint8_t number;
        bool down;
        // Taking its changes too: the level sent here already tells them.
        TakeInputChanges(i, number, down);
        SendNumber(down ? "D " : "U ", number);
    }
}

bool IsLed(uint16_t pin) {
    for (uint8_t i = 0; i < led_count; ++i)
        if (leds[i] == pin) return true;
    return false;
}

// Returns false when the command was malformed for this board.
bool Execute(const Command& c) {
    switch (c.verb) {
        case Verb::Bad:
            return false;
        case Verb::Hello:
            SendHello();
            return true;
        case Verb::Ping:
            SendNumber("PONG ", c.arg[0]);
            return true;
        case Verb::Stats:
            SendNumber("STATS ", bad_lines);
            return true;
        case Verb::Name: {
            StoreName(c.text, c.text_length);
            char line[kMaxLine + 8];
            uint8_t n = PutText(line, 0, "NAMED ");
            n = PutText(line, n, name);
            UartWrite(line, FinishLine(line, n));
            return true;
        }
        case Verb::Clear:
            Clear();
            return true;
        case Verb::Button:
        case Verb::Switch:
            if (Room(InputCount() < kMaxInputs) && ClaimPins(c.arg, 1)) {
                PinInputPullUp(PinOf(static_cast<uint8_t>(c.arg[0])));
                AddInput(static_cast<uint8_t>(c.arg[0]), c.verb == Verb::Switch);
            }
            return true;
        case Verb::Encoder:
            if (Room(EncoderCount() < kMaxEncoders) && ClaimPins(c.arg, 2)) {
                PinInputPullUp(PinOf(static_cast<uint8_t>(c.arg[0])));
                PinInputPullUp(PinOf(static_cast<uint8_t>(c.arg[1])));
                AddEncoder(static_cast<uint8_t>(c.arg[0]), static_cast<uint8_t>(c.arg[1]));
                last_report[EncoderCount() - 1] = Ticks();
            }
            return true;
        case Verb::Led:
            if (Room(led_count < kMaxLeds) && ClaimPins(c.arg, 1)) {
                leds[led_count++] = static_cast<uint8_t>(c.arg[0]);
                PinOutput(PinOf(static_cast<uint8_t>(c.arg[0])), false);
            }
            return true;
        case Verb::Display: {
            const uint8_t slot = static_cast<uint8_t>(c.arg[0]);
            if (Room(slot < kMaxDisplays && !display_used[slot]) && ClaimPins(c.arg + 1, 3)) {
                Max7219& d = displays[slot];
                d.din = PinOf(static_cast<uint8_t>(c.arg[1]));
                d.clk = PinOf(static_cast<uint8_t>(c.arg[2]));
                d.cs = PinOf(static_cast<uint8_t>(c.arg[3]));
                display_used[slot] = true;
                ++display_count;
                Max7219Start(d);
            }
            return true;
        }
        case Verb::Done:
            SendNumber("READY ", InputCount() + EncoderCount() + led_count + display_count);
            ReportSwitches();
            return true;
        case Verb::Light:
            if (!IsLed(c.arg[0])) return false;
            PinWrite(PinOf(static_cast<uint8_t>(c.arg[0])), c.arg[1] != 0);
            return true;
        case Verb::Text: {
            if (!display_used[c.arg[0]]) return false;
            uint8_t digits[8];
            LayOutText(c.text, c.text_length, digits);
            Max7219Show(displays[c.arg[0]], digits);
            return true;
        }
    }
    return false;
}

bool IsConfiguration(Verb verb) {
    return verb == Verb::Button || verb == Verb::Switch || verb == Verb::Encoder || verb == Verb::Led ||
           verb == Verb::Display;
}

void HandleLine(LineBuffer& buffer) {
    if (StripChecksum(buffer.text, buffer.length) < 0) {
        ++bad_lines;
        return;
    }
    const Command command = ParseCommand(buffer.text);
    if (Execute(command)) return;
    ++bad_lines;
    // A configuration line that arrived intact but makes no sense: the
    // program learns which one, since the board will lack it.
    if (command.verb == Verb::Bad && IsConfiguration(command.word)) SendWord("ERR syntax");
}

// Every change, in order for each input; inputs that changed together are
// reported in configuration order.
void ReportInputs() {
    for (uint8_t i = 0; i < InputCount(); ++i) {
        uint8_t number;
        bool down;
        uint8_t changes = TakeInputChanges(i, number, down);
        // The changes alternate and end at the level now.
        bool next = (changes & 1) != 0 ? down : !down;
        for (; changes > 0; --changes, next = !next) SendNumber(next ? "D " : "U ", number);
    }
}

// A report waits until more than kEncoderReportMs have passed since the
// last: a tick more than that after the tick the last was sent in, which
// itself began up to a tick before. The program reads a fast turn from the
// detents one report holds.
const uint16_t kEncoderSpacing = board_rules::kEncoderReportMs * kTicksPerMs + 1;

void ReportEncoders() {
    const uint16_t now = Ticks();
    for (uint8_t i = 0; i < EncoderCount(); ++i) {
        if (static_cast<uint16_t>(now - last_report[i]) < kEncoderSpacing) continue;
        uint8_t pin_a;
        const int16_t detents = TakeDetents(i, pin_a);
        if (detents == 0) {
            // Kept just due, so that the tick counter wrapping round never
            // holds back a report.
            last_report[i] = static_cast<uint16_t>(now - kEncoderSpacing);
            continue;
        }
        last_report[i] = now;
        char line[kMaxLine + 8];
        uint8_t n = PutText(line, 0, "E ");
        n = PutNumber(line, n, pin_a);
        line[n++] = ' ';
        n = PutNumber(line, n, detents);
        UartWrite(line, FinishLine(line, n));
    }
}

// Sleeps until an interrupt (a byte, the 4 kHz tick) unless work is waiting.
void Idle() {
    cli();
    if (!UartPending()) {
        sleep_enable();
        sei();
        sleep_cpu();
        sleep_disable();
    }
    sei();
}

}  // namespace

// A watchdog reset leaves the watchdog running at its shortest period: it is
// stopped before anything else, lest the board reset again while it starts.
void StopWatchdog() __attribute__((naked, used, section(".init3")));
void StopWatchdog() {
    MCUSR = 0;
    wdt_disable();
}

int main() {
    // A board that hangs resets itself after about a second and says HELLO
    // again, which tells the program to configure it anew.
    wdt_enable(WDTO_1S);
    UartInit();
    InputsInit();
    LoadName();
    set_sleep_mode(SLEEP_MODE_IDLE);
    sei();
    // A reset (the watchdog's) may have cut a line short on the wire: an
    // empty line ends it, so the hello is read as a line of its own.
    UartWrite("\n", 1);
    SendHello();
    static LineBuffer buffer;
    for (;;) {
        wdt_reset();
        int byte;
        while ((byte = UartRead()) >= 0) {
            if (byte == kUartLost || byte == kUartLostLine) {
                bad_lines = static_cast<uint16_t>(bad_lines + UartTakeLostLines());
                // A byte no line may hold: the damaged line fails its checksum
                // and is counted once, at its end.
                FeedByte(buffer, '\x7f');
                if (byte == kUartLost) continue;
                byte = '\n';
            }
            const Feed feed = FeedByte(buffer, static_cast<char>(byte));
            if (feed == Feed::Line) HandleLine(buffer);
            if (feed == Feed::TooLong) ++bad_lines;
        }
        ReportInputs();
        ReportEncoders();
        Idle();
    }
}
