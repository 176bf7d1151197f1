#pragma once

#include <QString>

// The scheduling priority of a thread that has to answer its input at once
// (the serial link's thread): raised, so that a reply arriving while every
// core is busy does not wait for the scheduler to give the thread its turn.
namespace ThreadPriority {

enum class Outcome {
    RealTime, // the lowest real-time round-robin priority
    Raised,   // a higher share among ordinary threads (Linux: nice -10; elsewhere Qt's time-critical priority)
    Refused,  // the system keeps the thread as it was (no privilege)
};

// Raises the calling thread. `why` gets the system's reason when it refuses.
Outcome raiseCurrentThread(QString *why = nullptr);

// "real-time", "raised", "not raised".
const char *outcomeName(Outcome outcome);

} // namespace ThreadPriority
