// File-dialog and dialog seams: what the hooks see and return, and that the
// wrappers open the right real dialogs without hooks.
#include "testsupport.h"
#include "uiseams.h"

#include <QAbstractProxyModel>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QScopeGuard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using UiSeams::FileDialogRequest;

Q_DECLARE_METATYPE(FileDialogRequest::Kind)

namespace {

const QString Caption = QStringLiteral("Choose");
const QString Filter = QStringLiteral("Config (*.conf)");

// Calls the wrapper of the given kind; joins multiple names with "|".
QString callWrapper(FileDialogRequest::Kind kind, const QString &dir)
{
    switch (kind) {
    case FileDialogRequest::OpenFile:
        return UiSeams::getOpenFileName(nullptr, Caption, dir, Filter);
    case FileDialogRequest::OpenFiles:
        return UiSeams::getOpenFileNames(nullptr, Caption, dir, Filter).join(QLatin1Char('|'));
    case FileDialogRequest::SaveFile:
        return UiSeams::getSaveFileName(nullptr, Caption, dir, Filter);
    case FileDialogRequest::ExistingDirectory:
        return UiSeams::getExistingDirectory(nullptr, Caption, dir);
    }
    return QString();
}

void kindRows()
{
    QTest::addColumn<FileDialogRequest::Kind>("kind");
    QTest::newRow("open file") << FileDialogRequest::OpenFile;
    QTest::newRow("open files") << FileDialogRequest::OpenFiles;
    QTest::newRow("save file") << FileDialogRequest::SaveFile;
    QTest::newRow("directory") << FileDialogRequest::ExistingDirectory;
}

// A dialog with a line edit, as our own dialogs have.
class NameDialog : public QDialog
{
public:
    NameDialog()
    {
        setObjectName(QStringLiteral("NameDialog"));
        setWindowTitle(QStringLiteral("Name"));
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("leName"));
    }
    QLineEdit *edit;
};

} // namespace

class UiSeamsTest : public QObject
{
    Q_OBJECT

private slots:
    void fileHookSeesTheRequest_data() { kindRows(); }

    void fileHookSeesTheRequest()
    {
        QFETCH(FileDialogRequest::Kind, kind);
        FileDialogScript script;
        script.answer(QStringList{"/tmp/a.conf", "/tmp/b.conf"}).cancel();
        const QString first = callWrapper(kind, QStringLiteral("/tmp/start"));
        // Single-path dialogs take the first path; a cancelled one gives nothing.
        QCOMPARE(first, kind == FileDialogRequest::OpenFiles ? QStringLiteral("/tmp/a.conf|/tmp/b.conf")
                                                             : QStringLiteral("/tmp/a.conf"));
        QCOMPARE(callWrapper(kind, QString()), QString());
        QCOMPARE(callWrapper(kind, QString()), QString()); // empty queue: cancelled

        QCOMPARE(script.requests().size(), 3);
        const FileDialogRequest r = script.requests().first();
        QCOMPARE(r.kind, kind);
        QCOMPARE(r.caption, Caption);
        QCOMPARE(r.directory, QStringLiteral("/tmp/start"));
        QCOMPARE(r.filter, kind == FileDialogRequest::ExistingDirectory ? QString() : Filter);
    }

    void realFileDialogs_data() { kindRows(); }

    void realFileDialogs()
    {
        QFETCH(FileDialogRequest::Kind, kind);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());

        QString title;
        QString directory;
        QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
        QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
        bool showsDirectoriesOnly = false;
        ModalAction action([&](QWidget *w) {
            if (auto *dialog = qobject_cast<QFileDialog *>(w)) {
                title = dialog->windowTitle();
                directory = dialog->directory().absolutePath();
                acceptMode = dialog->acceptMode();
                fileMode = dialog->fileMode();
                showsDirectoriesOnly = dialog->testOption(QFileDialog::ShowDirsOnly);
            }
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(callWrapper(kind, dir.path()), QString());
        QVERIFY(action.ran());
        QVERIFY(!action.stuck());
        QCOMPARE(title, Caption);
        QCOMPARE(directory, QDir(dir.path()).absolutePath());
        QCOMPARE(acceptMode, kind == FileDialogRequest::SaveFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        switch (kind) {
        case FileDialogRequest::OpenFile:
            QCOMPARE(fileMode, QFileDialog::ExistingFile);
            break;
        case FileDialogRequest::OpenFiles:
            QCOMPARE(fileMode, QFileDialog::ExistingFiles);
            break;
        case FileDialogRequest::SaveFile:
            QCOMPARE(fileMode, QFileDialog::AnyFile);
            break;
        case FileDialogRequest::ExistingDirectory:
            QVERIFY(showsDirectoriesOnly);
            break;
        }
    }

    // The dialogs write the files' dates in the interface's language, not
    // the system's.
    void fileDatesInTheDefaultLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        const auto restore = qScopeGuard([before] { QLocale::setDefault(before); });
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.conf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QDateTime stamp(QDate(2024, 3, 16), QTime(22, 2, 0));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        file.close();

        QString shown;
        ModalAction action([&](QWidget *w) {
            if (auto *dialog = qobject_cast<QFileDialog *>(w)) {
                QAbstractProxyModel *proxy = dialog->proxyModel();
                auto *files = proxy ? qobject_cast<QFileSystemModel *>(proxy->sourceModel()) : nullptr;
                if (files) {
                    QTest::qWaitFor(
                        [&] {
                            shown = proxy->mapFromSource(files->index(path, 3)).data().toString();
                            return !shown.isEmpty();
                        },
                        10000);
                }
            }
            QTest::keyClick(w, Qt::Key_Escape);
        });
        UiSeams::getOpenFileName(nullptr, Caption, dir.path(), Filter);
        QVERIFY(action.ran());
        QCOMPARE(shown, QStringLiteral("16.03.2024 22:02"));
    }

    void execDialogWithoutHookRunsTheDialog()
    {
        NameDialog dialog;
        ModalAction action([](QWidget *w) {
            if (auto *d = qobject_cast<QDialog *>(w))
                d->accept();
        });
        QCOMPARE(UiSeams::execDialog(&dialog), int(QDialog::Accepted));
        QVERIFY(action.ran());
        QVERIFY(!dialog.isVisible());
    }

    void execDialogHookEndsTheDialog_data()
    {
        QTest::addColumn<bool>("hookAccepts"); // the hook calls accept() itself
        QTest::addColumn<int>("returned");
        QTest::addColumn<int>("acceptedSignals");
        QTest::addColumn<int>("rejectedSignals");
        QTest::newRow("returns Accepted") << false << int(QDialog::Accepted) << 1 << 0;
        QTest::newRow("returns Rejected") << false << int(QDialog::Rejected) << 0 << 1;
        QTest::newRow("returns a custom code") << false << 7 << 0 << 0;
        QTest::newRow("accepts itself") << true << int(QDialog::Accepted) << 1 << 0;
    }

    void execDialogHookEndsTheDialog()
    {
        QFETCH(bool, hookAccepts);
        QFETCH(int, returned);

        NameDialog dialog;
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QSignalSpy finished(&dialog, &QDialog::finished);
        DialogScript script;
        script.then([&](QDialog *d) {
            auto *edit = d->findChild<QLineEdit *>(QStringLiteral("leName"));
            if (edit)
                edit->setText(QStringLiteral("typed"));
            if (hookAccepts)
                d->accept();
            return returned;
        });
        QCOMPARE(UiSeams::execDialog(&dialog), returned);
        QCOMPARE(dialog.edit->text(), QStringLiteral("typed"));
        QCOMPARE(dialog.result(), returned);
        QTEST(accepted.count(), "acceptedSignals");
        QTEST(rejected.count(), "rejectedSignals");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), returned);

        QCOMPARE(script.records().size(), 1);
        QCOMPARE(script.records().first().objectName, QStringLiteral("NameDialog"));
        QCOMPARE(script.records().first().title, QStringLiteral("Name"));
        QCOMPARE(script.pendingSteps(), 0);
    }

    void dialogScriptDefaultsToRejectAndRestores()
    {
        {
            DialogScript script;
            auto *heap = new NameDialog;
            heap->setAttribute(Qt::WA_DeleteOnClose);
            QPointer<QDialog> guard(heap);
            QCOMPARE(UiSeams::execDialog(heap), int(QDialog::Rejected));
            // Ended like a real run: a delete-on-close dialog goes away.
            QTRY_VERIFY(guard.isNull());
            QCOMPARE(script.records().size(), 1);
            QCOMPARE(script.records().first().className, QStringLiteral("QDialog"));
        }
        QVERIFY(!UiSeams::dialogHook());
    }
};

QTEST_MAIN(UiSeamsTest)
#include "tst_uiseams.moc"
