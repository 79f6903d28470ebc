#pragma once

// The built-in factory-default data (resource "JSON" 1251): an all-presets
// file of this program's own defaults.  The file in res/ is made by
// tools/MakeDefaultData from the function below; a test makes it again and
// compares, so the two cannot drift apart.  It builds a whole model of its
// own, so it lives with the maker and never in the program.

#include "platform/sys/WinTypes.h"

// Resets the images and the settings area to the factory defaults (the
// model's own values packed into the live image; every stored preset the
// same, with a blank name) and writes them as an all-presets file with a
// fixed upload time, so the bytes depend on the defaults alone.
bool WriteFactoryDefaultData(const CString& path);
