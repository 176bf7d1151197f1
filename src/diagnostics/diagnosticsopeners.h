#pragma once

// Registers the diagnostics windows that device items open (ActionOpeners):
// the RSSI plot of a radio device (action 1002), and the master's log reader
// (2000), noise window (2001) and stack-usage dialog (2003). Run once at
// start-up; safe to repeat.
void registerDiagnosticsOpeners();
