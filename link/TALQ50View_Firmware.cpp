// The firmware exchanges the communication thread dispatches while an update
// runs.  Update mode (g_bUpgrading) is entered only by the firmware transfer,
// which brings its own steps; until then a firmware pass just yields.

#include "link/TALQ50View.h"

#include "platform/sys/Clock.h"

int CTALQ50View::UsbFirmwareStep() {
    Sleep(50);
    return 0;
}

int CTALQ50View::NetFirmwareStep() {
    Sleep(50);
    return 0;
}
