#pragma once

// Registers the diagnostics windows that device items open (ActionOpeners):
// the RSSI plot of a radio device (action 1002) and the master's noise window
// (action 2001). Run once at start-up; safe to repeat.
void registerDiagnosticsOpeners();
