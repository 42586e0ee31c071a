#include "firmware/max7219.h"

namespace fw {

namespace {

enum : uint8_t {
    kRegDigit0 = 0x01,
    kRegDecode = 0x09,
    kRegIntensity = 0x0A,
    kRegScanLimit = 0x0B,
    kRegShutdown = 0x0C,
    kRegTest = 0x0F,
};

// One 16-bit word, register then data, most significant bit first; the chip
// takes it when CS rises.
void Send(const Max7219& d, uint8_t reg, uint8_t data) {
    const uint16_t word = static_cast<uint16_t>((reg << 8) | data);
    PinWrite(d.cs, false);
    for (uint16_t bit = 0x8000; bit != 0; bit >>= 1) {
        PinWrite(d.din, (word & bit) != 0);
        PinWrite(d.clk, true);
        PinWrite(d.clk, false);
    }
    PinWrite(d.cs, true);
}

}  // namespace

void Max7219Start(const Max7219& d) {
    PinOutput(d.cs, true);
    PinOutput(d.clk, false);
    PinOutput(d.din, false);
    Send(d, kRegTest, 0);
    Send(d, kRegDecode, 0);
    Send(d, kRegScanLimit, 7);
    Send(d, kRegIntensity, 8);
    const uint8_t dark[8] = {};
    Max7219Show(d, dark);
    Send(d, kRegShutdown, 1);
}

void Max7219Show(const Max7219& d, const uint8_t digits[8]) {
    for (uint8_t i = 0; i < 8; ++i) Send(d, static_cast<uint8_t>(kRegDigit0 + i), digits[i]);
}

void Max7219Stop(const Max7219& d) {
    const uint8_t dark[8] = {};
    Max7219Show(d, dark);
    Send(d, kRegShutdown, 0);
    PinRelease(d.din);
    PinRelease(d.clk);
    PinRelease(d.cs);
}

}  // namespace fw
