// The log dock: levels, colours, escaping, the line limit, log lines from
// other threads, and the packet filter down to the link's "TX:"/"RX:" lines.
#include "fakemaster.h"
#include "logging.h"
#include "mainwindow.h"
#include "packet.h"
#include "serialconnectioninterface.h"
#include "settings.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QThread>
#include <QtTest>

namespace {
QStringList lines(QPlainTextEdit *log)
{
    QStringList out;
    for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next())
        if (!block.text().isEmpty())
            out << block.text();
    return out;
}

// Colour of the text of the block that holds `text`; invalid when not found.
QColor colourOf(QPlainTextEdit *log, const QString &text)
{
    for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.text().contains(text)) {
                const QBrush brush = fragment.charFormat().foreground();
                return brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color();
            }
        }
    }
    return QColor();
}

struct Window
{
    Window()
    {
        MainWindow::setDeviceSelection([](MainWindow *) {});
        window.reset(new MainWindow(QString()));
        log = window->findChild<QPlainTextEdit *>("ptLog");
        level = window->findChild<QComboBox *>("cbLogLevel");
        filter = window->findChild<QListWidget *>("lwPacketFilter");
    }
    ~Window() { MainWindow::setDeviceSelection(nullptr); }

    QListWidgetItem *row(const QString &name) const
    {
        const auto found = filter->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    std::unique_ptr<MainWindow> window;
    QPlainTextEdit *log;
    QComboBox *level;
    QListWidget *filter;
};
} // namespace

class LogViewTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        appSettings.clear();
    }

    void logDockFollowsTheSavedState()
    {
        {
            Window w;
            auto *dock = w.window->findChild<QDockWidget *>("logDock");
            QVERIFY(!dock->isVisibleTo(w.window.get()));
            dock->show();
            appSettings.setValue(SettingsKey::WindowState, w.window->saveState());
        }
        Window w;
        QVERIFY(w.window->findChild<QDockWidget *>("logDock")->isVisibleTo(w.window.get()));
    }

    void levels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("Error") << 0 << QStringList{"CRITICAL: c"};
        QTest::newRow("Warning") << 1 << QStringList{"CRITICAL: c", "WARNING: w"};
        QTest::newRow("Debug") << 2 << QStringList{"CRITICAL: c", "WARNING: w", "DEBUG: d"};
        QTest::newRow("Trace") << 3 << QStringList{"CRITICAL: c", "WARNING: w", "DEBUG: d", "TRACE: t"};
    }

    void levels()
    {
        QFETCH(int, level);
        QFETCH(QStringList, shown);
        Window w;
        w.level->setCurrentIndex(level);
        QCOMPARE(w.window->displayLogLevel(), level);
        w.window->newLogMessage(0, "c");
        w.window->newLogMessage(1, "w");
        w.window->newLogMessage(2, "d");
        w.window->newLogMessage(3, "t");

        QStringList texts;
        const QRegularExpression prefix(QStringLiteral("^\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}> "));
        for (const QString &line : lines(w.log)) {
            QVERIFY2(prefix.match(line).hasMatch(), qPrintable(line));
            texts << line.mid(prefix.match(line).capturedLength());
        }
        QCOMPARE(texts, shown);
    }

    void colours()
    {
        Window w;
        w.level->setCurrentIndex(3);
        w.window->newLogMessage(0, "critical line");
        w.window->newLogMessage(1, "warning line");
        w.window->newLogMessage(2, "debug line");
        w.window->newLogMessage(3, "trace line");
        QCOMPARE(colourOf(w.log, "critical line"), QColor("red"));
        QCOMPARE(colourOf(w.log, "warning line"), QColor("brown"));
        QCOMPARE(colourOf(w.log, "debug line"), QColor(Qt::black));
        QCOMPARE(colourOf(w.log, "trace line"), QColor("blue"));
    }

    void messagesArePlainText()
    {
        Window w;
        w.level->setCurrentIndex(3);
        w.window->newLogMessage(2, "<font color=red>x</font> & <b>\"y\"</b>\nsecond line");
        const QStringList shown = lines(w.log);
        QCOMPARE(shown.size(), 1); // one block; the line feed is a break inside it
        const QString text = shown.first();
        QVERIFY2(text.contains("DEBUG: <font color=red>x</font> & <b>\"y\"</b>"), qPrintable(text));
        QVERIFY(text.endsWith(QChar(QChar::LineSeparator) + QStringLiteral("second line")));
        QCOMPARE(colourOf(w.log, "second line"), QColor(Qt::black));
    }

    void keepsTheLast30000Lines()
    {
        Window w;
        w.level->setCurrentIndex(3);
        for (int i = 0; i < 30010; ++i)
            w.window->newLogMessage(2, QString::number(i));
        QCOMPARE(w.log->document()->blockCount(), 30000);
        QVERIFY(w.log->document()->firstBlock().text().endsWith("DEBUG: 10"));
        QVERIFY(w.log->document()->lastBlock().text().endsWith("DEBUG: 30009"));
    }

    void linesFromAnotherThread()
    {
        Window w;
        w.level->setCurrentIndex(2);
        QThread thread;
        QObject poster;
        poster.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(&poster, [] {
            QCoreApplication::postEvent(QCoreApplication::instance(), new ZorvoLog::Event(1, "from the worker"));
        });
        QTRY_VERIFY(w.log->toPlainText().contains("WARNING: from the worker"));
        thread.quit();
        thread.wait();
    }

    void filterRows()
    {
        appSettings.setValue(QStringLiteral("packetFilter/PT_HUBRO_INFO"), 0);
        Window w;
        QCOMPARE(w.filter->count(), 205);
        QSet<int> codes;
        for (int i = 0; i < w.filter->count(); ++i) {
            const QListWidgetItem *item = w.filter->item(i);
            const int code = item->data(Qt::UserRole).toInt();
            QCOMPARE(item->text(), QString::fromLatin1(packetTypeNames[code]));
            QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
            QVERIFY(code > 0 && code < 255);
            QVERIFY(!item->text().startsWith("FREE"));
            QVERIFY(!codes.contains(code));
            codes << code;
            QCOMPARE(item->checkState(), code == PT_HUBRO_INFO ? Qt::Unchecked : Qt::Checked);
        }
        QCOMPARE(w.window->packetLogExclusions(), QVector<uint8_t>{PT_HUBRO_INFO});
    }

    void searchAndSelectAll()
    {
        Window w;
        QSignalSpy handed(w.window.get(), &MainWindow::packetLogFilterChanged);
        w.window->findChild<QLineEdit *>("leLogFilter")->setText("dev_info");
        QStringList visible;
        for (int i = 0; i < w.filter->count(); ++i)
            if (!w.filter->item(i)->isHidden())
                visible << w.filter->item(i)->text();
        QCOMPARE(visible, QStringList({"PT_GET_DEV_INFO", "PT_GET_DEV_INFO_ACK", "PT_GET_DEV_INFO_ADDITIONAL",
                                       "PT_GET_DEV_INFO_ADDITIONAL_ACK"}));
        QCOMPARE(handed.size(), 0); // searching ticks nothing

        QTest::mouseClick(w.window->findChild<QPushButton *>("pbFilterDeselectAll"), Qt::LeftButton);
        QCOMPARE(handed.size(), 1);
        const QVector<uint8_t> off{PT_GET_DEV_INFO, PT_GET_DEV_INFO_ACK, PT_GET_DEV_INFO_ADDITIONAL,
                                   PT_GET_DEV_INFO_ADDITIONAL_ACK};
        QCOMPARE(handed.last().at(0).value<QVector<uint8_t>>(), off);
        QCOMPARE(w.row("PT_HUBRO_INFO")->checkState(), Qt::Checked); // hidden rows keep their state

        w.window->findChild<QLineEdit *>("leLogFilter")->clear();
        QTest::mouseClick(w.window->findChild<QPushButton *>("pbFilterDeselectAll"), Qt::LeftButton);
        QCOMPARE(handed.size(), 2);
        QCOMPARE(handed.last().at(0).value<QVector<uint8_t>>().size(), 205);
        QTest::mouseClick(w.window->findChild<QPushButton *>("pbFilterSelectAll"), Qt::LeftButton);
        QCOMPARE(handed.size(), 3);
        QVERIFY(handed.last().at(0).value<QVector<uint8_t>>().isEmpty());

        // One click on a row hands the new filter once.
        w.row("PT_REBOOT")->setCheckState(Qt::Unchecked);
        QCOMPARE(handed.size(), 4);
        QCOMPARE(handed.last().at(0).value<QVector<uint8_t>>(), QVector<uint8_t>{PT_REBOOT});
    }

    // The filter as the link applies it: unticked types leave the log, every
    // other type (those without a row included) is logged.
    void linkLinesFollowTheFilter()
    {
        registerPacketMetaTypes();
        qInstallMessageHandler(logMessageHandler);
        Window w;
        w.level->setCurrentIndex(2);

        FakeMaster master;
        master.answer(PT_HUBRO_INFO, FakeMaster::Reply(QByteArray::fromHex("02")));
        master.answer(PT_GET_DEV_INFO, FakeMaster::Reply(QByteArray::fromHex("06")));
        master.answer(PT_REBOOT, FakeMaster::Reply(QByteArray::fromHex("ff")));
        SerialConnectionInterface link(Serial, MasterOrdinary);
        connect(w.window.get(), &MainWindow::packetLogFilterChanged, &link, &ConnectionInterface::setLogFilter);
        QVERIFY(link.connectToDevice(master.portName()));

        w.row("PT_GET_DEV_INFO_ACK")->setCheckState(Qt::Unchecked);
        w.row("PT_HUBRO_INFO")->setCheckState(Qt::Unchecked);

        int replies = 0;
        const ResponseCb count = [&](const Packet &) { return ++replies > 0; };
        link.sendPacket(QByteArray::fromHex("01"), count);
        link.sendPacket(QByteArray::fromHex("05"), count);
        link.sendPacket(QByteArray::fromHex("b0"), count);
        QTRY_COMPARE(replies, 3);
        QTRY_VERIFY(w.log->toPlainText().contains("PT_UNKNOWN_REQ_ERROR"));
        qInstallMessageHandler(nullptr);

        const QString text = w.log->toPlainText();
        QStringList seen;
        for (const QString &line : lines(w.log))
            if (line.contains("TX:") || line.contains("RX:"))
                seen << QString(line.contains("TX:") ? "TX " : "RX ") + line.section(' ', -1);
        QCOMPARE(seen, QStringList({"RX PT_HUBRO_INFO_ACK", "TX PT_GET_DEV_INFO", "TX PT_REBOOT",
                                    "RX PT_UNKNOWN_REQ_ERROR"}));
    }
};

QTEST_MAIN(LogViewTest)
#include "tst_logview.moc"
