#include "tools/dbnode/var_names.h"

namespace dbnode {

const char* VarName(int index) {
    switch (index) {
        case 6: return "heading";
        case 7: return "barometer";
        case 8: return "speed";
        case 14: return "selected altitude";
        case 15: return "selected heading";
        case 17: return "selected speed";
        case 22: return "speed hold";
        case 25: return "altitude hold";
        case 27: return "NAV1 active";
        case 30: return "NAV1 standby";
        case 47: return "gear";
        case 50: return "heading hold";
        case 54: return "altitude";
        case 58: return "minimums";
        case 66: return "NAV2 active";
        case 67: return "Captain course";
        case 68: return "First Officer course";
        case 72: return "flaps";
        case 73: return "NAV2 standby";
        case 86: return "COM1 active";
        case 87: return "COM2 active";
        case 88: return "COM1 standby";
        case 89: return "COM2 standby";
        case 111: return "approach";
        case 113: return "localiser";
        case 121: return "thrust arm";
        case 170: return "autopilot engaged";
        case 171: return "flight director";
        case 185: return "pause switch";
        case 227: return "ADF1 active";
        case 228: return "ADF2 active";
        case 229: return "ADF1 standby";
        case 230: return "ADF2 standby";
        case 233: return "client messages";
        case 234: return "client messages missed";
        default: return "";
    }
}

}  // namespace dbnode
