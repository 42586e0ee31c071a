// orv-boardsim: runs the board firmware as an ATmega328P or an ATmega2560
// (as the ELF file was built) at 16 MHz, in step with the wall clock, with its serial port on a pseudo-terminal, so that a
// program under test talks to it as to a board on USB.
//
//   orv-boardsim [--link PATH] [--name NAME] FIRMWARE.elf
//
// stdin, one command a line (pins are Arduino pin numbers):
//   press P | release P       a button to ground, or open again
//   close P | open P          the same, for a switch
//   pulse P MS                a press of MS milliseconds of the board's time
//                             (decimals allowed), at least 10 ms after the
//                             last pulse on P is released
//   turn A B N RATE           an encoder on pins A and B turns N detents
//                             (negative: the other way) at RATE detents/s
//   hang                      the firmware stops in a loop with interrupts
//                             off, as a board that hangs
//   quit
// stdout, one report a line:
//   pty PATH                  the serial port to open (PATH is the link when given)
//   led P 0|1                 an LED pin's level, when set up and when changed
//   display N "TEXT"          display N now shows TEXT (8 digits, "." after a
//                             digit whose point is lit)
//   turned A                  a turn on encoder A has ended
//   error MESSAGE             a command was not understood
// LEDs and displays are found by reading the configuration the program
// sends. SIGTERM or SIGINT ends it and removes the link; a killed one leaves
// the link, which the next start replaces, like a board plugged in again.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>

#include "firmware/board_name.h"
#include "firmware/line.h"
#include "firmware/pin_map.h"
#include "tests/boards/sim/max7219_decoder.h"
#include "tests/boards/sim/script.h"

extern "C" {
#include <avr_eeprom.h>
#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_elf.h>
}

namespace {

const uint32_t kFrequency = 16000000;
const int kMaxPins = 70;  // the Mega's Arduino pins

// The board's pins: the Uno/Nano's unless the ELF is built for the Mega.
const uint8_t* pin_codes = fw::uno::kPins;
const char* port_letters = fw::uno::kPortLetters;
int pin_count = sizeof fw::uno::kPins;

volatile sig_atomic_t stop_requested = 0;
void OnStop(int) { stop_requested = 1; }

struct PortPin {
    char port;
    int bit;
};

PortPin Locate(int pin) {
    const uint8_t code = pin_codes[pin];
    return {port_letters[code >> 4], code & 7};
}

struct Sim {
    avr_t* avr = nullptr;
    int master = -1;
    bool xon = true;
    std::deque<uint8_t> to_board;
    fw::LineBuffer sniffed{};
    bool led_pin[kMaxPins] = {};
    int led_level[kMaxPins] = {};
    std::map<int, boardsim::Max7219Decoder> displays;  // by slot
    std::map<int, std::string> shown;
    std::map<int, std::string> seen;  // at the last look, maybe half written
    std::map<char, avr_ioport_external_t> external;
};

Sim sim;

avr_irq_t* PinIrq(int pin) {
    const PortPin p = Locate(pin);
    return avr_io_getirq(sim.avr, AVR_IOCTL_IOPORT_GETIRQ(p.port), p.bit);
}

// Drives a pin from outside, the way a contact to ground (0) or its release
// (1, the pull-up) would, and keeps it so when the firmware writes the port.
void Drive(int pin, int level) {
    const PortPin p = Locate(pin);
    avr_ioport_external_t& e = sim.external[p.port];
    e.name = static_cast<unsigned>(p.port);
    e.mask = e.mask | (1u << p.bit);
    e.value = level ? (e.value | (1u << p.bit)) : (e.value & ~(1u << p.bit));
    avr_ioctl(sim.avr, AVR_IOCTL_IOPORT_SET_EXTERNAL(p.port), &e);
    avr_raise_irq(PinIrq(pin), static_cast<uint32_t>(level));
}

bool IsOutput(int pin) {
    const PortPin p = Locate(pin);
    avr_ioport_state_t state{};
    avr_ioctl(sim.avr, AVR_IOCTL_IOPORT_GETSTATE(p.port), &state);
    return (state.ddr >> p.bit) & 1;
}

void OnPin(avr_irq_t*, uint32_t value, void* param) {
    const int pin = static_cast<int>(reinterpret_cast<intptr_t>(param));
    if (!IsOutput(pin)) return;
    const int level = value & 1;
    if (sim.led_pin[pin] && sim.led_level[pin] != level) {
        sim.led_level[pin] = level;
        std::printf("led %d %d\n", pin, level);
    }
    for (auto& [slot, decoder] : sim.displays) boardsim::Max7219Pin(decoder, pin, level);
}

// Learns the LEDs and displays from the configuration lines on their way.
void Sniff(uint8_t byte) {
    if (fw::FeedByte(sim.sniffed, static_cast<char>(byte)) != fw::Feed::Line) return;
    if (fw::StripChecksum(sim.sniffed.text, sim.sniffed.length) < 0) return;
    const fw::Command c = fw::ParseCommand(sim.sniffed.text);
    if (c.verb == fw::Verb::Led && c.arg[0] < pin_count) {
        sim.led_pin[c.arg[0]] = true;
        sim.led_level[c.arg[0]] = -1;
    } else if (c.verb == fw::Verb::Display) {
        boardsim::Max7219Decoder d{};
        d.din = c.arg[1];
        d.clk = c.arg[2];
        d.cs = c.arg[3];
        sim.displays[c.arg[0]] = d;
        sim.shown.erase(c.arg[0]);
    } else if (c.verb == fw::Verb::Clear) {
        for (bool& led : sim.led_pin) led = false;
    }
}

void OnUartOut(avr_irq_t*, uint32_t value, void*) {
    const uint8_t byte = static_cast<uint8_t>(value);
    // Nobody reading and the terminal full: the byte is lost, as on a wire.
    if (write(sim.master, &byte, 1) < 0) {
    }
}
void OnXon(avr_irq_t*, uint32_t, void*) { sim.xon = true; }
void OnXoff(avr_irq_t*, uint32_t, void*) { sim.xon = false; }

void FeedBoard() {
    avr_irq_t* input = avr_io_getirq(sim.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
    while (sim.xon && !sim.to_board.empty()) {
        const uint8_t byte = sim.to_board.front();
        sim.to_board.pop_front();
        Sniff(byte);
        avr_raise_irq(input, byte);
    }
}

// The MCU an AVR ELF file is built for, from its header's machine flags.
const char* McuOf(const char* elf) {
    FILE* f = std::fopen(elf, "rb");
    unsigned char header[52] = {};
    const size_t n = f != nullptr ? std::fread(header, 1, sizeof header, f) : 0;
    if (f != nullptr) std::fclose(f);
    // e_flags, little-endian at 36: avr6 is the ATmega2560's architecture.
    return n == sizeof header && (header[36] & 0x7f) == 6 ? "atmega2560" : "atmega328p";
}

// A display is reported once it reads the same at two looks in a row: a
// look may fall while the firmware is still writing its digits.
void ReportDisplays() {
    for (auto& [slot, decoder] : sim.displays) {
        const std::string text = boardsim::Max7219Text(decoder);
        const bool settled = sim.seen[slot] == text;
        sim.seen[slot] = text;
        if (!settled) continue;
        auto it = sim.shown.find(slot);
        if (it != sim.shown.end() && it->second == text) continue;
        sim.shown[slot] = text;
        std::printf("display %d \"%s\"\n", slot, text.c_str());
    }
}

int OpenPty(std::string& path) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
    path = ptsname(master);
    // Held open here so that the terminal never hangs up between users, and
    // set raw, so that no echo or line editing touches the bytes whoever opens it.
    const int slave = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) return -1;
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B115200);
    tcsetattr(slave, TCSANOW, &t);
    return master;
}

double WallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// simavr's messages go to stderr, errors only: stdout carries the reports.
void Log(avr_t*, const int level, const char* format, va_list ap) {
    if (level <= LOG_ERROR) std::vfprintf(stderr, format, ap);
}

// The harness keeps time itself; simavr's own idle sleeping would only skew it.
void NoSleep(avr_t*, avr_cycle_count_t) {}

}  // namespace

int main(int argc, char** argv) {
    const char* link = nullptr;
    const char* name = nullptr;
    const char* elf = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--link") == 0 && i + 1 < argc)
            link = argv[++i];
        else if (std::strcmp(argv[i], "--name") == 0 && i + 1 < argc)
            name = argv[++i];
        else
            elf = argv[i];
    }
    if (elf == nullptr || (name != nullptr && !fw::ValidName(name, static_cast<uint8_t>(std::strlen(name))))) {
        std::fprintf(stderr, "usage: orv-boardsim [--link PATH] [--name NAME] FIRMWARE.elf\n");
        return 2;
    }
    avr_global_logger_set(Log);
    elf_firmware_t firmware{};
    if (elf_read_firmware(elf, &firmware) != 0) {
        std::fprintf(stderr, "orv-boardsim: cannot read %s\n", elf);
        return 1;
    }
    const char* mcu = McuOf(elf);
    if (std::strcmp(mcu, "atmega2560") == 0) {
        pin_codes = fw::mega::kPins;
        port_letters = fw::mega::kPortLetters;
        pin_count = sizeof fw::mega::kPins;
    }
    sim.avr = avr_make_mcu_by_name(mcu);
    if (sim.avr == nullptr) return 1;
    avr_init(sim.avr);
    firmware.frequency = kFrequency;
    avr_load_firmware(sim.avr, &firmware);
    sim.avr->sleep = NoSleep;

    if (name != nullptr) {
        uint8_t bytes[fw::kMaxName] = {};
        std::memcpy(bytes, name, std::strlen(name));
        avr_eeprom_desc_t desc{bytes, fw::kNameAddress, sizeof bytes};
        avr_ioctl(sim.avr, AVR_IOCTL_EEPROM_SET, &desc);
    }

    uint32_t flags = 0;
    avr_ioctl(sim.avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags &= ~static_cast<uint32_t>(AVR_UART_FLAG_STDIO | AVR_UART_FLAG_POLL_SLEEP);
    avr_ioctl(sim.avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    avr_irq_register_notify(avr_io_getirq(sim.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT), OnUartOut,
                            nullptr);
    avr_irq_register_notify(avr_io_getirq(sim.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON), OnXon,
                            nullptr);
    avr_irq_register_notify(avr_io_getirq(sim.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF), OnXoff,
                            nullptr);
    for (int pin = 2; pin < pin_count; ++pin)
        avr_irq_register_notify(PinIrq(pin), OnPin, reinterpret_cast<void*>(static_cast<intptr_t>(pin)));

    std::string path;
    sim.master = OpenPty(path);
    if (sim.master < 0) {
        std::fprintf(stderr, "orv-boardsim: no pseudo-terminal\n");
        return 1;
    }
    signal(SIGTERM, OnStop);
    signal(SIGINT, OnStop);
    signal(SIGPIPE, SIG_IGN);
    // The board boots before its port appears, as one plugged in does: what
    // is sent from then on is received.
    while (sim.avr->cycle < kFrequency / 20) {
        const int state = avr_run(sim.avr);
        if (state == cpu_Done || state == cpu_Crashed) return 1;
    }
    if (link != nullptr) {
        unlink(link);
        if (symlink(path.c_str(), link) != 0) {
            std::fprintf(stderr, "orv-boardsim: cannot link %s\n", link);
            return 1;
        }
        path = link;
    }
    std::printf("pty %s\n", path.c_str());
    std::fflush(stdout);

    boardsim::Script script(sim.avr, kFrequency, pin_count, Drive);
    fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
    std::string input;
    bool input_open = true;
    const double start = WallSeconds() - static_cast<double>(sim.avr->cycle) / kFrequency;
    double last_report = 0;
    while (!stop_requested) {
        // Run the board up to the present, then wait for the next thing to do.
        const double now = WallSeconds() - start;
        // At most 10 ms at a time, so that a slow host still reads and reports.
        const auto target = std::min(static_cast<avr_cycle_count_t>(now * kFrequency),
                                     sim.avr->cycle + kFrequency / 100);
        while (sim.avr->cycle < target) {
            const int state = avr_run(sim.avr);
            if (state == cpu_Done || state == cpu_Crashed) {
                std::fprintf(stderr, "orv-boardsim: the firmware stopped\n");
                return 1;
            }
            FeedBoard();
        }
        if (now - last_report >= 0.005) {
            ReportDisplays();
            last_report = now;
        }
        std::fflush(stdout);
        pollfd fds[2] = {{sim.master, POLLIN, 0}, {input_open ? 0 : -1, POLLIN, 0}};
        if (poll(fds, 2, 1) <= 0) continue;
        // Large enough that a script's commands sent together start together.
        uint8_t buffer[4096];
        if (fds[0].revents & POLLIN) {
            const ssize_t n = read(sim.master, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) sim.to_board.push_back(buffer[i]);
        }
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            const ssize_t n = read(0, buffer, sizeof buffer);
            if (n == 0) input_open = false;
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] != '\n') {
                    input.push_back(static_cast<char>(buffer[i]));
                    continue;
                }
                if (!script.Command(input)) stop_requested = 1;
                input.clear();
            }
        }
    }
    if (link != nullptr) unlink(link);
    return 0;
}
