#pragma once

// The waits of the upload and update managers, in milliseconds; tests shorten them.
struct FirmwareTimings
{
    int uploadPing = 300;     // between the master's busy replies during an upload
    int endAckPing = 10000;   // after the end of the lines, when waiting for the master's readiness
    int readyWait = 60000;    // for the master's readiness after the start request
    int updatePing = 1000;    // between pings of a radio-device update
};
