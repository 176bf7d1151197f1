#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QFileDialog;
class QWidget;

// Every message box, file dialog and modal dialog of the program goes through
// the functions below. With no hook installed they show the real windows; a
// test installs a hook to record what would be shown and to script the answer,
// so nothing ever waits for a user.
namespace UiSeams {

struct MessageBoxRequest
{
    enum Kind { Critical, Information, Warning, WarningDetails, Question, User, Choice, WarningQuestion };
    Kind kind;
    QString text;
    QString informativeText;
    QString title;
    QMessageBox::StandardButtons buttons;
    QStringList choices;
    bool modal = true;
    // A warning question: the standard button shown with a text of the caller's.
    QMessageBox::StandardButton renamedButton = QMessageBox::NoButton;
    QString renamedText = QString();
    // What Enter presses (default) and what Escape and the window's close
    // button press (escape); NoButton where the toolkit's own rules decide.
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    // The same for a choice, as positions of the labels; -1 where the toolkit decides.
    int defaultChoice = -1;
    int escapeChoice = -1;
};

// Returns what the box would return: a standard button value, or for a
// choice the position of the chosen label. Ignored for non-modal boxes.
using MessageBoxHook = std::function<int(const MessageBoxRequest &)>;
void setMessageBoxHook(MessageBoxHook hook); // empty: real boxes
MessageBoxHook messageBoxHook();

// A message box that does not block, with an informative text when one is
// given: shown with show() and deleted when closed. With a hook set, the hook
// gets it (modal = false) instead. NoIcon is reported as Information,
// Question as Question.
void showNonModalMessage(QMessageBox::Icon icon, const QString &text, const QString &title,
                         QWidget *parent = nullptr, const QString &informativeText = QString());

struct FileDialogRequest
{
    enum Kind { OpenFile, OpenFiles, SaveFile, ExistingDirectory };
    Kind kind;
    QString caption;
    QString directory;
    QString filter;
};

// Returns the chosen paths; an empty list means cancelled. Single-path
// dialogs take the first entry.
using FileDialogHook = std::function<QStringList(const FileDialogRequest &)>;
void setFileDialogHook(FileDialogHook hook);
FileDialogHook fileDialogHook();

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter);
QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter);
QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir);
// The dialogs above show the files' dates in the default locale (the
// interface's language) rather than the system's.
void showDatesInDefaultLocale(QFileDialog *dialog);

// Runs one of our own modal dialogs. With a hook set, the hook gets the live
// (not shown) dialog, may fill its widgets, and returns the result code; the
// dialog then ends with that result as if the user had closed it. The return
// value is the result the dialog really ended with (a dialog may turn an accept
// of invalid input into a rejection).
using DialogHook = std::function<int(QDialog *)>;
void setDialogHook(DialogHook hook);
DialogHook dialogHook();
int execDialog(QDialog *dialog);

// The colour dialog: returns the chosen colour, an invalid one when cancelled.
using ColorDialogHook = std::function<QColor(const QColor &initial)>;
void setColorDialogHook(ColorDialogHook hook);
ColorDialogHook colorDialogHook();
QColor getColor(const QColor &initial, QWidget *parent);

} // namespace UiSeams
