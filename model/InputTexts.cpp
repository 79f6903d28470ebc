#include "model/InputTexts.h"

#include <cstdio>

CString FormatInputGain(int gain) {
    char text[32];
    std::snprintf(text, sizeof text, "%ddB", gain - 80);
    return text;
}

CString FormatInputOnOff(int on) {
    return on ? "On" : "OFF";
}

CString FormatInputThreshold(int threshold) {
    if (threshold == 0)
        return "OFF";
    char text[32];
    std::snprintf(text, sizeof text, "%0.1fdBu", static_cast<double>(threshold - 120));
    return text;
}
