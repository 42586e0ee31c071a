#include "panels/panel_echo.h"

PanelEchoRecord PanelEcho;
