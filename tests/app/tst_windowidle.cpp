// The main window at rest on the demo simulation: no animation of a hidden
// window runs, and no timer of the GUI thread fires again and again.
#include "appglobals.h"
#include "connection.h"
#include "mainwindow.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "testsupport.h"
#include "windowtests.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QMovie>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Timer events by the class of their receiver.
class TimerCounter : public QObject
{
public:
    QMap<QByteArray, int> fired;
    int total() const
    {
        int sum = 0;
        for (const int n : fired)
            sum += n;
        return sum;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            ++fired[watched->metaObject()->className()];
        return false;
    }
};
} // namespace

class WindowIdleTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareWindowTests();
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }

    void restsOnTheDemo()
    {
        QTemporaryDir folder;
        const QString demo = folder.filePath(QStringLiteral("demo.sim"));
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), demo));
        QFile::setPermissions(demo, QFile::ReadOwner | QFile::WriteOwner);
        MainWindow window(demo);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.currentConnection() && !window.currentConnection()->devices().isEmpty());

        // Windows built ahead and kept hidden (the progress window) do not animate.
        int animations = 0;
        for (QWidget *widget : QApplication::allWidgets()) {
            auto *label = qobject_cast<QLabel *>(widget);
            if (!label || !label->movie())
                continue;
            ++animations;
            QVERIFY2(label->window()->isVisible() || label->movie()->state() != QMovie::Running,
                     qPrintable(label->window()->metaObject()->className()));
        }
        QVERIFY(animations > 0);

        // Once the start-up single shots are over, the GUI thread rests: a
        // second with at most the master's refresh comes within a few.
        QStringList busy;
        for (int second = 0; second < 6; ++second) {
            TimerCounter counter;
            qApp->installEventFilter(&counter);
            QTest::qWait(1000);
            qApp->removeEventFilter(&counter);
            if (counter.total() <= 2) {
                busy.clear();
                break;
            }
            busy.clear();
            for (auto it = counter.fired.cbegin(); it != counter.fired.cend(); ++it)
                busy << QStringLiteral("%1 x%2").arg(QString::fromLatin1(it.key())).arg(it.value());
        }
        QVERIFY2(busy.isEmpty(), qPrintable(busy.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(WindowIdleTest)
#include "tst_windowidle.moc"
