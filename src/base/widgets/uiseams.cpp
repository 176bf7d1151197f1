#include "uiseams.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QPointer>

namespace UiSeams {

namespace {
MessageBoxHook &boxHook()
{
    static MessageBoxHook hook;
    return hook;
}

FileDialogHook &fileHook()
{
    static FileDialogHook hook;
    return hook;
}

DialogHook &runHook()
{
    static DialogHook hook;
    return hook;
}

ColorDialogHook &colorHook()
{
    static ColorDialogHook hook;
    return hook;
}

MessageBoxRequest::Kind kindOfIcon(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Critical:
        return MessageBoxRequest::Critical;
    case QMessageBox::Warning:
        return MessageBoxRequest::Warning;
    case QMessageBox::Question:
        return MessageBoxRequest::Question;
    case QMessageBox::Information:
    case QMessageBox::NoIcon:
        break;
    }
    return MessageBoxRequest::Information;
}

QStringList askFileHook(FileDialogRequest::Kind kind, const QString &caption, const QString &dir,
                        const QString &filter)
{
    const FileDialogHook hook = fileHook(); // the hook may replace itself
    return hook(FileDialogRequest{kind, caption, dir, filter});
}
} // namespace

void setMessageBoxHook(MessageBoxHook hook)
{
    boxHook() = std::move(hook);
}

MessageBoxHook messageBoxHook()
{
    return boxHook();
}

void showNonModalMessage(QMessageBox::Icon icon, const QString &text, const QString &title,
                         QWidget *parent)
{
    if (boxHook()) {
        MessageBoxRequest request{kindOfIcon(icon), text, QString(), title, QMessageBox::Ok, {}};
        request.modal = false;
        const MessageBoxHook hook = boxHook(); // the hook may replace itself
        hook(request);
        return;
    }
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void setFileDialogHook(FileDialogHook hook)
{
    fileHook() = std::move(hook);
}

FileDialogHook fileDialogHook()
{
    return fileHook();
}

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::OpenFile, caption, dir, filter).value(0);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::OpenFiles, caption, dir, filter);
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::SaveFile, caption, dir, filter).value(0);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::ExistingDirectory, caption, dir, QString()).value(0);
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

void setDialogHook(DialogHook hook)
{
    runHook() = std::move(hook);
}

DialogHook dialogHook()
{
    return runHook();
}

int execDialog(QDialog *dialog)
{
    const DialogHook hook = runHook(); // the hook may replace itself
    if (!hook)
        return dialog->exec();

    // The hook may end the dialog itself (accept(), done()); end it here
    // otherwise, so finished() and the result look as after a real run.
    QPointer<QDialog> guard(dialog);
    bool ended = false;
    const auto connection = QObject::connect(dialog, &QDialog::finished, [&ended] { ended = true; });
    const int result = hook(dialog);
    if (!guard)
        return result;
    QObject::disconnect(connection);
    if (!ended)
        guard->done(result);
    // A dialog may refuse what the hook asked (an accept of invalid input ends
    // rejected): report what the dialog really ended with.
    return guard->result();
}

void setColorDialogHook(ColorDialogHook hook)
{
    colorHook() = std::move(hook);
}

ColorDialogHook colorDialogHook()
{
    return colorHook();
}

QColor getColor(const QColor &initial, QWidget *parent)
{
    const ColorDialogHook hook = colorHook(); // the hook may replace itself
    if (hook)
        return hook(initial);
    return QColorDialog::getColor(initial, parent);
}

} // namespace UiSeams
