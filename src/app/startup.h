#pragma once

// The program's entry: builds the application and the main window and runs the event
// loop; rebuilds both in the same process while the loop ends with RestartExitCode.
int runTandrel(int argc, char **argv);
