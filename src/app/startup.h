#pragma once

#include <QLocale>
#include <QString>

// The program's entry: builds the application and the main window and runs the event
// loop; rebuilds both in the same process while the loop ends with RestartExitCode.
int runTandrel(int argc, char **argv);

// Called first by runTandrel: a file-size limit (SIGXFSZ) fails the write that
// passes it, which the saving code reports, instead of killing the program.
void ignoreFileSizeSignal();

// The locale of a language setting ("russian", "english", "external"): the
// program's default locale while that language is in use.
QLocale languageLocale(const QString &language);
