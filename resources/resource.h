// Control and template ids of the panel dialogs: the one place they are
// written. panels.rc includes it (a Windows resource compiler, or the
// program's own template reader); the panels use the same names.
#ifndef ORV_RESOURCE_H
#define ORV_RESOURCE_H

// Dialog templates
#define IDD_RADIOS               104
#define IDD_NAVDISP              105
#define IDD_AUTOPILOT            106
#define IDD_STATUS               107
#define IDD_BIGWIN               108

// Radios
#define IDC_COM1_ACTIVE          1023
#define IDC_COM1_STANDBY         1024
#define IDC_COM2_ACTIVE          1025
#define IDC_COM2_STANDBY         1026
#define IDC_NAV1_ACTIVE          1027
#define IDC_NAV1_STANDBY         1028
#define IDC_NAV2_ACTIVE          1029
#define IDC_NAV2_STANDBY         1030
#define IDC_ADF1_ACTIVE          1053
#define IDC_ADF1_STANDBY         1054
#define IDC_ADF2_ACTIVE          1061
#define IDC_ADF2_STANDBY         1062
#define IDC_COM1_COARSE          1063
#define IDC_COM1_FINE            1039
#define IDC_COM2_COARSE          1064
#define IDC_COM2_FINE            1040
#define IDC_NAV1_COARSE          1065
#define IDC_NAV1_FINE            1041
#define IDC_NAV2_COARSE          1066
#define IDC_NAV2_FINE            1042
#define IDC_ADF1_COARSE          1071
#define IDC_ADF1_FINE            1057
#define IDC_ADF2_COARSE          1075
#define IDC_ADF2_FINE            1074

// Nav Display
#define IDC_CAPT_MODE            1034
#define IDC_CAPT_NEXT_MODE       1091
#define IDC_CAPT_COURSE_COARSE   1067
#define IDC_CAPT_COURSE          1055
#define IDC_CAPT_COURSE_FINE     2008
#define IDC_CAPT_RANGE_SPIN      1007
#define IDC_CAPT_RANGE           1069
#define IDC_CAPT_AIRPORTS        1008
#define IDC_CAPT_NAVAIDS         1032
#define IDC_CAPT_WAYPOINTS       1033
#define IDC_CAPT_ADF             1043
#define IDC_CAPT_VOR             1044
#define IDC_FO_MODE              1035
#define IDC_FO_NEXT_MODE         1092
#define IDC_FO_COURSE_COARSE     1068
#define IDC_FO_COURSE            1056
#define IDC_FO_COURSE_FINE       1059
#define IDC_FO_RANGE_SPIN        1012
#define IDC_FO_RANGE             1070
#define IDC_FO_AIRPORTS          1009
#define IDC_FO_NAVAIDS           1047
#define IDC_FO_WAYPOINTS         1048
#define IDC_FO_ADF               1045
#define IDC_FO_VOR               1046

// Autopilot
#define IDC_FLIGHT_DIR           1052
#define IDC_AUTOPILOT            2011
#define IDC_LOC                  2012
#define IDC_THRUST_ARM           2010
#define IDC_APP                  1058
#define IDC_TOGA                 1088
#define IDC_VNAV                 1089
#define IDC_LNAV                 1090
#define IDC_HEADING_COARSE       1001
#define IDC_SET_HEADING          1016
#define IDC_HEADING_FINE         1036
#define IDC_HEADING_HOLD         1049
#define IDC_ALTITUDE_COARSE      1002
#define IDC_SET_ALTITUDE         1018
#define IDC_ALTITUDE_FINE        1037
#define IDC_ALTITUDE_HOLD        1050
#define IDC_SPEED_COARSE         1003
#define IDC_SET_SPEED            1019
#define IDC_SPEED_FINE           1038
#define IDC_SPEED_HOLD           1051
#define IDC_MINIMUMS             1060

// Status
#define IDC_HEADING              1020
#define IDC_ALTITUDE             1021
#define IDC_SPEED                1022
#define IDC_FLAPS                1031
#define IDC_GEAR                 2007
#define IDC_BAROMETER            2009
#define IDC_PAUSE                2000
#define IDC_FRAME_RATES          2001
#define IDC_NET_STATS            2002
#define IDC_TOTAL_C_MSGS         2004
#define IDC_MISSED_C_MSGS        2003
#define IDC_TOTAL_L_MSGS         2006
#define IDC_MISSED_L_MSGS        2005
#define IDC_STATUS_SPIN_LEFT     1072
#define IDC_STATUS_SPIN_RIGHT    1073

#endif
