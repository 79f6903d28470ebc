#pragma once

// Lines scrolled per wheel notch, from the desktop's setting; -1 would mean
// a page per notch.

int GetWheelScrollLines();
