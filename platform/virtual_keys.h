// The hosts' virtual-key codes, besides letters and digits (their
// upper-case character codes): what a key event becomes on either host.
#pragma once

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkF1 = 112;  // F1 to F12 run on from here
