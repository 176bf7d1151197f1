// One group of devices under update: row order and addresses, colours of the
// rows and the header through a group's course, and the text functions.
#include "appglobals.h"
#include "containerbuilder.h"
#include "deviceitem.h"
#include "updatestatuswidget.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

// A device with number `number`, radio address `radio` and Wireloop address `wireloop`.
std::unique_ptr<DeviceItem> makeDevice(quint8 number, quint8 radio, quint8 wireloop = 0, bool wireloopMode = false)
{
    deviceInfo_t info;
    info.radioAddress = number;
    info.wireloopAddress = radio;
    info.kastrelAddress = wireloop;
    info.deviceType = 4;
    info.hardwareVersion = 0x0100;
    info.firmwareVersion = 0x0105;
    info.linkState = 2;
    return std::make_unique<DeviceItem>(info, wireloopMode);
}

const QString Green = UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(150, 255, 150)"));
const QString Yellow = UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(255, 255, 150)"));
const QString Red = UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(255, 150, 150)"));
const QString Blue = UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(150, 200, 255)"));
const QString Grey = UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(240, 240, 240)"));
const QString RedLabel = QStringLiteral("color: rgb(255, 0, 0);background-color: rgb(240, 240, 240);");
const QString GreenLabel = QStringLiteral("background-color: rgb(240, 240, 240); color: rgb(0, 150, 0);");

struct Group
{
    Group(int count)
    {
        for (int i = 0; i < count; ++i)
            devices.push_back(makeDevice(quint8(10 + i), quint8(3 + i)));
        widget.setText(QStringLiteral("group"));
        widget.setDevices(list());
    }
    QList<DeviceItem *> list() const
    {
        QList<DeviceItem *> l;
        for (const auto &d : devices)
            l << d.get();
        return l;
    }
    QString labelStyle(int row) const { return UpdateStatusWidget::rowLabel(widget.rows().at(row))->styleSheet(); }
    QString header() const { return widget.headerButton()->styleSheet(); }

    std::vector<std::unique_ptr<DeviceItem>> devices;
    UpdateStatusWidget widget;
};

} // namespace

class UpdateStatusWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void rowsSortedWithShownAddresses()
    {
        auto a = makeDevice(1, 7);
        auto b = makeDevice(2, 3);
        auto c = makeDevice(3, 12);
        auto wired = makeDevice(4, 9, 1, true);   // sorts by Wireloop 1, shows radio 9
        auto none = makeDevice(5, 255, 200);      // radio 255: shows Wireloop 200
        auto zero = makeDevice(6, 0);
        auto star = makeDevice(7, 255, 255);
        UpdateStatusWidget w;
        w.setDevices({a.get(), b.get(), c.get(), wired.get(), none.get(), zero.get(), star.get()});
        QStringList shown;
        QList<int> numbers;
        for (QWidget *row : w.rows()) {
            shown << UpdateStatusWidget::rowLabel(row)->text();
            numbers << row->property("num").toInt();
        }
        QCOMPARE(numbers, (QList<int>{6, 4, 2, 1, 3, 5, 7}));
        QCOMPARE(shown, (QStringList{"*", "9", "3", "7", "12", "200", "*"}));
        QCOMPARE(w.devices().size(), 7);
    }

    // Results end in the header colour of the table; every failure marks its
    // own row, even one that had no progress, and a result counts once.
    void headerColourByResults_data()
    {
        QTest::addColumn<QString>("results"); // one letter per device: s success, f failure
        QTest::addColumn<bool>("progressFirst");
        QTest::addColumn<QString>("colour");
        QTest::newRow("all succeed") << "sss" << true << Green;
        QTest::newRow("one fails") << "sfs" << true << Yellow;
        QTest::newRow("all fail") << "fff" << true << Red;
        QTest::newRow("fail before any progress") << "fss" << false << Yellow;
        QTest::newRow("all fail without progress") << "fff" << false << Red;
    }
    void headerColourByResults()
    {
        QFETCH(QString, results);
        QFETCH(bool, progressFirst);
        QFETCH(QString, colour);
        Group g(results.size());
        g.widget.setCurrent();
        QCOMPARE(g.header(), Blue);
        for (int i = 0; i < results.size(); ++i) {
            DeviceItem *device = g.list().at(i);
            if (progressFirst || results.at(i) == QLatin1Char('s'))
                g.widget.setProgress(device, 40);
            const bool success = results.at(i) == QLatin1Char('s');
            g.widget.setDeviceResult(device, success);
            QCOMPARE(g.widget.state(), success ? 4 : 2);
            QCOMPARE(g.labelStyle(i), success ? GreenLabel : RedLabel);
            if (i + 1 < results.size())
                QCOMPARE(g.header(), Blue);
        }
        QCOMPARE(g.header(), colour);
        // Earlier rows keep their own colours: a failure never repaints a success.
        for (int i = 0; i < results.size(); ++i)
            QCOMPARE(g.labelStyle(i), results.at(i) == QLatin1Char('s') ? GreenLabel : RedLabel);
    }

    void resultCountsOnce()
    {
        Group g(2);
        g.widget.setCurrent();
        g.widget.setDeviceResult(g.list().at(0), false);
        g.widget.setDeviceResult(g.list().at(0), false);
        QCOMPARE(g.header(), Blue); // one of two counted
        g.widget.setDeviceResult(g.list().at(1), true);
        QCOMPARE(g.header(), Yellow);
    }

    void progressOutsideTheGroupChangesNothing()
    {
        Group g(2);
        auto stranger = makeDevice(99, 50);
        g.widget.setProgress(g.list().at(1), 30);
        g.widget.setProgress(stranger.get(), 60);
        g.widget.setDeviceResult(stranger.get(), false);
        QCOMPARE(UpdateStatusWidget::rowBar(g.widget.rows().at(0))->value(), 0);
        QCOMPARE(UpdateStatusWidget::rowBar(g.widget.rows().at(1))->value(), 30);
        QVERIFY(g.labelStyle(0) != RedLabel && g.labelStyle(1) != RedLabel);
        QCOMPARE(g.header(), Grey);
    }

    void stopLeavesFinishedRowsGreen()
    {
        Group g(3);
        g.widget.setCurrent();
        g.widget.setDeviceResult(g.list().at(0), true);
        g.widget.setProgress(g.list().at(1), 50);
        g.widget.setStopped();
        QCOMPARE(g.widget.state(), 3);
        QCOMPARE(g.header(), Yellow);
        const QString yellowBar = UpdateStatusWidget::makeStyleSheet(1, QStringLiteral("rgb(255, 255, 150)"));
        QCOMPARE(UpdateStatusWidget::rowBar(g.widget.rows().at(0))->styleSheet(),
                 UpdateStatusWidget::makeStyleSheet(1, QStringLiteral("#96FF96")));
        QCOMPARE(g.labelStyle(0), GreenLabel);
        for (int row : {1, 2}) {
            QCOMPARE(UpdateStatusWidget::rowBar(g.widget.rows().at(row))->styleSheet(), yellowBar);
            QCOMPARE(g.labelStyle(row), QStringLiteral("background-color: rgb(240, 240, 240); color: rgb(0, 0, 0);"));
        }
    }

    void removedDeviceLeavesTheGroup()
    {
        Group g(3);
        g.widget.setCurrent();
        g.widget.removeDevice(g.list().at(1));
        QCOMPARE(g.widget.rows().size(), 2);
        QCOMPARE(g.widget.devices().size(), 2);
        g.widget.setDeviceResult(g.list().at(0), true);
        g.widget.setDeviceResult(g.list().at(2), true);
        QCOMPARE(g.header(), Green);
    }

    // The bars' chunk is as wide as the done part: drawn in one go, it must look
    // like a row of 1-pixel chunks, at every percent and width.
    void barDrawnAsOneChunkLooksLikeOnePixelChunks()
    {
        for (const int width : {40, 203, 517}) {
            QWidget plain, chunked;
            auto *one = new QProgressBar(&plain);
            auto *many = new QProgressBar(&chunked);
            one->setStyleSheet(UpdateStatusWidget::makeStyleSheet(1, QStringLiteral("#96C8FF")));
            many->setStyleSheet(one->styleSheet() + QStringLiteral("QProgressBar::chunk {width: 1px;}"));
            for (QProgressBar *bar : {one, many})
                bar->setGeometry(2, 2, width, 22);
            plain.resize(width + 4, 26);
            chunked.resize(width + 4, 26);
            for (int percent = 0; percent <= 100; ++percent) {
                one->setValue(percent);
                many->setValue(percent);
                QVERIFY2(plain.grab().toImage() == chunked.grab().toImage(),
                         qPrintable(QStringLiteral("width %1, %2%").arg(width).arg(percent)));
            }
        }
    }

    void collapseToggle()
    {
        Group g(1);
        g.widget.show();
        QSignalSpy visibility(&g.widget, &UpdateStatusWidget::visibilityChanged);
        g.widget.headerButton()->click();
        QVERIFY(g.widget.isCollapsed());
        g.widget.headerButton()->click();
        QVERIFY(!g.widget.isCollapsed());
        QCOMPARE(visibility.size(), 2);
        QCOMPARE(visibility.at(0).at(0).toBool(), false);
        QCOMPARE(visibility.at(1).at(0).toBool(), true);
        g.widget.setCollapsed(true);
        QVERIFY(g.widget.isCollapsed());
        QCOMPARE(visibility.size(), 2);
    }

    void texts()
    {
        QCOMPARE(UpdateStatusWidget::makeStyleSheet(3, QStringLiteral("red")), QString());
        QCOMPARE(UpdateStatusWidget::firmwareText(pVORL()), QStringLiteral("No information"));
        QCOMPARE(UpdateStatusWidget::firmwareLabel(142, QStringLiteral("1"), QStringLiteral("1.05")),
                 QStringLiteral("Unknown type: 142 hw 1 fw 1.05"));
        HUBRO32BootSectionHeader_t h;
        h.deviceType = 4;
        h.hardwareVersion = 0x0203;
        h.firmwareVersion = 0x0305;
        h.buildTime = 1700000000u;
        const QString when = QDateTime::fromSecsSinceEpoch(1700000000).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        QCOMPARE(UpdateStatusWidget::fileHeaderText(h),
                 deviceTypeName(4) + QStringLiteral(" hw 2 fw 3.05 (") + when + QLatin1Char(')'));
        const pVORL container = ContainerBuilder().type(4).record(recordV1(0x1000, "abcd")).parse();
        QCOMPARE(UpdateStatusWidget::firmwareText(container),
                 deviceTypeName(4) + QStringLiteral(" hw 1 fw 1.05 (") + when + QLatin1Char(')'));

        // updateText: the container first, else a header with a type, else unchanged.
        UpdateStatusWidget w;
        w.setText(QStringLiteral("kept"));
        w.updateText();
        QCOMPARE(w.text(), QStringLiteral("kept"));
        w.setFileHeader(h);
        w.updateText();
        QCOMPARE(w.text(), UpdateStatusWidget::fileHeaderText(h));
        w.setFirmware(container);
        w.updateText();
        QCOMPARE(w.text(), UpdateStatusWidget::firmwareText(container));
    }
};

QTEST_MAIN(UpdateStatusWidgetTest)
#include "tst_updatestatuswidget.moc"
