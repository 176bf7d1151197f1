#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

// Modal message boxes of the whole program. Each box is parentless and
// application-modal; the call returns when the user has closed it. The first
// argument is always the main text, the window title comes after the texts.
// All of them go through the message-box hook of uiseams.h.

void showCriticalMessage(const QString &text, const QString &title);
void showInformationMessage(const QString &text, const QString &title);
void showWarningMessage(const QString &text, const QString &title);
// Warning with a smaller informative text under the main text.
void showWarningDetails(const QString &text, const QString &informativeText, const QString &title);

// Both return the standard button pressed (Escape and the close button press
// the toolkit's escape button, e.g. No of Yes|No).
int askQuestion(const QString &text, const QString &title, QMessageBox::StandardButtons buttons);
int askUser(const QString &text, const QString &informativeText, const QString &title,
            QMessageBox::StandardButtons buttons);

// Buttons made from the first three labels with the roles yes, no and reject;
// returns the position of the pressed one, so Escape and the close button give
// 2. With fewer labels only those are shown (two: Escape presses the second;
// one: Escape presses it); with none the box shows Ok and returns -1.
int askChoice(const QString &text, const QString &title, const QStringList &buttons);

// A warning with a smaller informative text and the caller's buttons, one of
// which may carry a text of the caller's (`renamed` shown as `renamedText`)
// and one may be the default (`defaultButton`, else the toolkit's choice);
// returns the standard button pressed.
int askWarning(const QString &text, const QString &informativeText, const QString &title,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton renamed = QMessageBox::NoButton,
               const QString &renamedText = QString(),
               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
