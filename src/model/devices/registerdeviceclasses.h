#pragma once

// Enters every device class into the factory with its type codes, and the
// settings that configuration files carry for it. Run once at start-up
// (and by tests); running it again changes nothing.
void registerDeviceClasses();
