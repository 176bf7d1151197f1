#include "uiseams.h"

#include <QColorDialog>
#include <QDateTime>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
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

// The file model writes its dates in the system's locale.
class DefaultLocaleDates : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        auto *files = qobject_cast<QFileSystemModel *>(sourceModel());
        if (files && role == Qt::DisplayRole && index.column() == DateColumn)
            return QLocale().toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int DateColumn = 3;
};

QStringList runFileDialog(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                          QFileDialog::FileMode mode, QFileDialog::AcceptMode accept)
{
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    if (mode == QFileDialog::Directory)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    showDatesInDefaultLocale(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
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
                         QWidget *parent, const QString &informativeText)
{
    if (boxHook()) {
        MessageBoxRequest request{kindOfIcon(icon), text, informativeText, title, QMessageBox::Ok, {}};
        request.modal = false;
        const MessageBoxHook hook = boxHook(); // the hook may replace itself
        hook(request);
        return;
    }
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setInformativeText(informativeText);
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
    return runFileDialog(parent, caption, dir, filter, QFileDialog::ExistingFile, QFileDialog::AcceptOpen).value(0);
}

QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::OpenFiles, caption, dir, filter);
    return runFileDialog(parent, caption, dir, filter, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::SaveFile, caption, dir, filter).value(0);
    return runFileDialog(parent, caption, dir, filter, QFileDialog::AnyFile, QFileDialog::AcceptSave).value(0);
}

QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    if (fileHook())
        return askFileHook(FileDialogRequest::ExistingDirectory, caption, dir, QString()).value(0);
    return runFileDialog(parent, caption, dir, QString(), QFileDialog::Directory, QFileDialog::AcceptOpen).value(0);
}

void showDatesInDefaultLocale(QFileDialog *dialog)
{
    dialog->setProxyModel(new DefaultLocaleDates(dialog));
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
