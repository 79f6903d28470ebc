#pragma once

// A delay word counts samples at 48 kHz: 0..384 is 0..8 ms, and 960 stands
// for 20 ms.  When the delay is shown in centimetres or inches, one spin step
// must change the shown distance by at least one whole unit; these give the
// next delay word for a step of `delta` (normally +1 or -1).
int DelayStepByCm(int step, int delta);
int DelayStepByInch(int step, int delta);
