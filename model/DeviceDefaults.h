#pragma once

// Factory defaults of the device images and the settings area, written once
// at start-up before the document, its model or any link exist.
void InitDefaultDeviceData();

// Both clear the network-link flag: the first for the start-up defaults, the
// second when the network link closes.
void ClearLinkState();
void ClearLinkCountersB();
