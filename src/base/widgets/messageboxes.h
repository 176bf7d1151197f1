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
// The same with the information icon.
void showInformationDetails(const QString &text, const QString &informativeText, const QString &title);

// The questions answer Enter with their default button and Escape and the
// window's close button with their escape button. A caller may name either;
// one left at NoButton is the safe answer of the offered set (safeAnswer).

// The answer that does nothing: the first offered of No, Cancel, Abort and
// Close; NoButton when none is offered (the toolkit's own rules then decide).
QMessageBox::StandardButton safeAnswer(QMessageBox::StandardButtons buttons);

// Gives a box built by hand the default and escape buttons by the same rule.
void setSafeAnswers(QMessageBox &box, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton);

// Both return the standard button pressed.
int askQuestion(const QString &text, const QString &title, QMessageBox::StandardButtons buttons,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                QMessageBox::StandardButton escapeButton = QMessageBox::NoButton);
int askUser(const QString &text, const QString &informativeText, const QString &title,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
            QMessageBox::StandardButton escapeButton = QMessageBox::NoButton);

// Buttons made from the first three labels with the roles yes, no and reject;
// returns the position of the pressed one. The last label is the default and
// the escape answer: with three, Enter, Escape and the close button give 2.
// With none the box shows Ok and returns -1.
int askChoice(const QString &text, const QString &title, const QStringList &buttons);

// A warning with a smaller informative text and the caller's buttons, one of
// which may carry a text of the caller's (`renamed` shown as `renamedText`);
// returns the standard button pressed.
int askWarning(const QString &text, const QString &informativeText, const QString &title,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton renamed = QMessageBox::NoButton,
               const QString &renamedText = QString(),
               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
               QMessageBox::StandardButton escapeButton = QMessageBox::NoButton);
