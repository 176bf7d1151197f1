#pragma once

#include <QDialogButtonBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

// A window of its own whose title bar offers only the close button.
inline bool closeButtonOnly(const QWidget &window)
{
    const Qt::WindowFlags flags = window.windowFlags();
    return window.isWindow() && flags.testFlag(Qt::CustomizeWindowHint)
        && flags.testFlag(Qt::WindowCloseButtonHint) && !flags.testFlag(Qt::WindowMinimizeButtonHint)
        && !flags.testFlag(Qt::WindowMaximizeButtonHint) && !flags.testFlag(Qt::WindowContextHelpButtonHint);
}

// A button of the dialog's form button box "buttonBox".
inline QPushButton *standardButton(QWidget &dialog, QDialogButtonBox::StandardButton which)
{
    return dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which);
}

// Empty when the window is the form of that object name and title, with a
// close-button-only title bar; otherwise what differs.
inline QString formMismatch(const QWidget &window, const QString &name, const QString &title)
{
    QStringList problems;
    if (window.objectName() != name)
        problems << QStringLiteral("object name ") + window.objectName();
    if (window.windowTitle() != title)
        problems << QStringLiteral("title ") + window.windowTitle();
    if (!closeButtonOnly(window))
        problems << QStringLiteral("title bar buttons");
    return problems.join(QStringLiteral(", "));
}
