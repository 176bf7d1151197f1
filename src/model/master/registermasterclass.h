#pragma once

// Enters the master item into the device factory: type code 1 makes a
// HubroItem, and every master type code takes the master's parameter keys and
// titles. Run once at start-up (and by tests); running it again changes
// nothing.
void registerMasterClass();
