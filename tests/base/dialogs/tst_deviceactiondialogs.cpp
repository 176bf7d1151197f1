// The device action dialogs: zone toggling, Wireloop cloning, the preferred
// repeater choice and the channel-scan waiting window.
#include "channelscan.h"
#include "clonewireloopdialog.h"
#include "dialogchecks.h"
#include "resources.h"
#include "setpreferredrsdialog.h"
#include "togglezonestatedialog.h"
#include "uiseams.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

// The dialog library knows DeviceItem only by name; this stands in for the
// device model's class with the one thing the dialog reads.
class DeviceItem
{
public:
    explicit DeviceItem(const QString &tip) : tip(tip) {}
    virtual ~DeviceItem() = default;
    virtual QString toolTip() const { return tip; }

private:
    QString tip;
};

class RepeaterItem : public DeviceItem
{
public:
    using DeviceItem::DeviceItem;
    QString toolTip() const override { return QStringLiteral(" #7\nRepeater"); }
};

namespace {
QStringList rowTexts(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}
} // namespace

class DeviceActionDialogsTest : public QObject
{
    Q_OBJECT

    QList<UiSeams::MessageBoxRequest> boxes;

private slots:
    void initTestCase()
    {
        initTandrelResources();
        UiSeams::setMessageBoxHook([this](const UiSeams::MessageBoxRequest &request) {
            boxes << request;
            return int(QMessageBox::Ok);
        });
    }

    void init()
    {
        boxes.clear();
        UiSeams::setDialogHook({});
    }

    void toggleZone_form()
    {
        QWidget parent;
        ToggleZoneStateDialog dialog(&parent);
        QCOMPARE(formMismatch(dialog, QStringLiteral("ToggleZoneStateDialog"),
                              QStringLiteral("Dialog")),
                 QString());
        auto *zones = dialog.findChild<QComboBox *>(QStringLiteral("cbZoneNum"));
        auto *states = dialog.findChild<QComboBox *>(QStringLiteral("cbState"));
        QStringList zoneItems, stateItems;
        for (int i = 0; i < zones->count(); ++i)
            zoneItems << zones->itemText(i);
        for (int i = 0; i < states->count(); ++i)
            stateItems << states->itemText(i);
        QCOMPARE(zoneItems, QStringList({"Zone 0 (LED)", "Zone 1", "Zone 2", "Zone 3", "Zone 4"}));
        QCOMPARE(stateItems, QStringList({"Disable", "Enable"}));
    }

    void toggleZone_choice_data()
    {
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("unchanged, OK") << -1 << -1 << true;
        QTest::newRow("zone 3 on") << 3 << 1 << true;
        QTest::newRow("zone 4 off") << 4 << 0 << true;
        QTest::newRow("cancelled") << 2 << 1 << false;
    }

    void toggleZone_choice()
    {
        QFETCH(int, zone);
        QFETCH(int, state);
        QFETCH(bool, confirm);

        ToggleZoneStateDialog dialog;
        UiSeams::setDialogHook([&](QDialog *d) {
            if (zone >= 0)
                d->findChild<QComboBox *>(QStringLiteral("cbZoneNum"))->setCurrentIndex(zone);
            if (state >= 0)
                d->findChild<QComboBox *>(QStringLiteral("cbState"))->setCurrentIndex(state);
            standardButton(*d, confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            return d->result();
        });
        QCOMPARE(UiSeams::execDialog(&dialog), int(confirm ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.zone(), qMax(zone, 0));
        QCOMPARE(dialog.state(), qMax(state, 0));
    }

    void clone_form()
    {
        QWidget parent;
        CloneWireloopDialog dialog(10, QStringLiteral("Zentar-TIRUN"), &parent);
        QCOMPARE(formMismatch(dialog, QStringLiteral("CloneWireloopDialog"),
                              QStringLiteral("Wireloop Clone")),
                 QString());
        auto *name = dialog.findChild<QLabel *>(QStringLiteral("lblName"));
        QCOMPARE(name->text(), QStringLiteral("Zentar-TIRUN"));
        QVERIFY(name->font().bold());
        QCOMPARE(name->font().pointSize(), 18);
        QCOMPARE(dialog.minimumSize(), QSize(300, 200));
        QCOMPARE(dialog.maximumSize(), QSize(300, 234));
    }

    void clone_range_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("runs");

        QTest::newRow("address 0") << 0 << 15 << 126 << true;
        QTest::newRow("address 96") << 96 << 15 << 30 << true;
        QTest::newRow("address 97") << 97 << 15 << 29 << false;
        QTest::newRow("address 120") << 120 << 6 << 6 << false;
        QTest::newRow("beyond the loop") << 200 << -74 << -74 << false;
    }

    // Runs the real modal loop: a dialog that can clone is confirmed with OK,
    // one that cannot must end by itself with the error box.
    void clone_range()
    {
        QFETCH(int, address);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(bool, runs);

        CloneWireloopDialog dialog(address, QStringLiteral("Zentar-DRALO"));
        auto *spin = dialog.findChild<QSpinBox *>(QStringLiteral("sbCloneNumber"));
        QCOMPARE(spin->minimum(), minimum);
        QCOMPARE(spin->maximum(), maximum);
        QCOMPARE(dialog.canClone(), runs);

        QTimer confirm;
        confirm.setSingleShot(true);
        connect(&confirm, &QTimer::timeout, &dialog, [&] {
            if (dialog.isVisible()) {
                spin->setValue(20);
                standardButton(dialog, QDialogButtonBox::Ok)->click();
            }
        });
        confirm.start(50);
        QTimer::singleShot(5000, &dialog, [&] { dialog.done(-1); }); // never hang
        const int result = dialog.exec();

        if (runs) {
            QCOMPARE(result, int(QDialog::Accepted));
            QCOMPARE(dialog.count(), 20);
            QVERIFY(boxes.isEmpty());
        } else {
            QCOMPARE(result, int(QDialog::Rejected));
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].kind, UiSeams::MessageBoxRequest::Critical);
            QCOMPARE(boxes[0].text, QStringLiteral("Cannot clone. Wireloop address is too big"));
            QCOMPARE(boxes[0].title, QStringLiteral("Error"));
            QVERIFY(!dialog.isVisible());
        }
    }

    void clone_acceptOfAnAddressTooBigIsRejected()
    {
        CloneWireloopDialog dialog(97, QStringLiteral("Zentar-DRALO"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void preferredRs_form()
    {
        QWidget parent;
        SetPreferredRSDialog dialog(&parent);
        QCOMPARE(formMismatch(dialog, QStringLiteral("SetPreferredRSDialog"),
                              QStringLiteral("Set preferred retranslater")),
                 QString());
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("Select RS:"));
    }

    void preferredRs_rowsAndFirstSelected()
    {
        DeviceItem first(QStringLiteral(" #3\nZentar-RS \n(hw: 1.02 fw: 2.10)\ns/n: 0000012345"));
        DeviceItem second(QStringLiteral("second"));
        SetPreferredRSDialog dialog;
        dialog.setRepeaters(QList<DeviceItem *>{&first, &second});
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("lwRS"));
        QCOMPARE(rowTexts(list),
                 QStringList({" #3 Zentar-RS  (hw: 1.02 fw: 2.10) s/n: 0000012345", "second"}));

        UiSeams::setDialogHook([](QDialog *d) {
            standardButton(*d, QDialogButtonBox::Ok)->click();
            return d->result();
        });
        QCOMPARE(UiSeams::execDialog(&dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedRepeater(), &first);
        QCOMPARE(dialog.selectedDevice(), &first);
    }

    void preferredRs_derivedItems()
    {
        RepeaterItem repeater(QString{});
        SetPreferredRSDialog dialog;
        dialog.setDevices(QList<RepeaterItem *>{&repeater});
        QCOMPARE(rowTexts(dialog.findChild<QListWidget *>(QStringLiteral("lwRS"))),
                 QStringList{" #7 Repeater"});
        QCOMPARE(dialog.selectedRepeater(), static_cast<DeviceItem *>(&repeater));
    }

    void preferredRs_doubleClickChoosesThatRow()
    {
        DeviceItem a(QStringLiteral("a")), b(QStringLiteral("b")), c(QStringLiteral("c"));
        SetPreferredRSDialog dialog;
        dialog.setRepeaters(QList<DeviceItem *>{&a, &b, &c});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("lwRS"));
        const QPoint centre = list->visualItemRect(list->item(2)).center();
        // A real double click: press and release, then the double-click press.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.selectedRepeater(), &c);
    }

    void preferredRs_nothingToChoose()
    {
        DeviceItem a(QStringLiteral("a")), b(QStringLiteral("b"));
        SetPreferredRSDialog dialog;
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("lwRS"));
        dialog.setRepeaters(QList<DeviceItem *>{});
        QCOMPARE(list->count(), 0);
        QCOMPARE(dialog.selectedRepeater(), nullptr);

        dialog.setRepeaters(QList<DeviceItem *>{&a, &b});
        list->setCurrentRow(1);
        QCOMPARE(dialog.selectedRepeater(), &b);
        list->clearSelection();
        QCOMPARE(dialog.selectedRepeater(), nullptr);

        // An empty list clears the rows but not the items held before.
        dialog.setRepeaters(QList<DeviceItem *>{});
        QCOMPARE(list->count(), 0);
        QCOMPARE(dialog.selectedRepeater(), nullptr);
        list->addItem(QStringLiteral("stray row"));
        list->setCurrentRow(0);
        QCOMPARE(dialog.selectedRepeater(), &a);
        list->addItem(QStringLiteral("row without item"));
        list->addItem(QStringLiteral("another"));
        list->setCurrentRow(2);
        QCOMPARE(dialog.selectedRepeater(), nullptr);
    }

    void channelScan_window()
    {
        QWidget mainWindow;
        QPointer<ChannelScan> scan = new ChannelScan(&mainWindow);
        QSignalSpy stops(scan.data(), &ChannelScan::stopScan);
        scan->show();
        QVERIFY(QTest::qWaitForWindowExposed(scan.data()));

        QVERIFY(scan->isWindow());
        QCOMPARE(scan->windowModality(), Qt::ApplicationModal);
        QCOMPARE(scan->windowTitle(), QStringLiteral("Channel scanning"));
        QCOMPARE(scan->findChild<QLabel *>(QStringLiteral("label"))->text(),
                 QStringLiteral("Channel scanning in progress. Wait, please..."));
        QMovie *movie = scan->findChild<QLabel *>(QStringLiteral("lblGif"))->movie();
        QVERIFY(movie);
        QVERIFY(movie->isValid());
        QCOMPARE(movie->state(), QMovie::Running);

        auto *stop = scan->findChild<QPushButton *>(QStringLiteral("pbStop"));
        QCOMPARE(stop->text(), QStringLiteral("Stop channel scan"));
        QTest::mouseClick(stop, Qt::LeftButton);
        QTest::mouseClick(stop, Qt::LeftButton);
        QCOMPARE(stops.count(), 2);
        QVERIFY(scan->isVisible());

        scan->close();
        QTRY_VERIFY(scan.isNull());
    }
};

QTEST_MAIN(DeviceActionDialogsTest)
#include "tst_deviceactiondialogs.moc"
