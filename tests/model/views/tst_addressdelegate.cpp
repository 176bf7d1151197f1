#include "viewtestdata.h"

#include "addresscombobox.h"
#include "addressdelegate.h"
#include "devicetablemodel.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {
// A master at Wireloop address 60 (bus address 160) with the edited
// device and one other device of the given place and span.
struct Site
{
    FakeSource source;
    std::unique_ptr<DI_AbstractRepeater> master;
    std::unique_ptr<DeviceItem> edited;
    std::unique_ptr<DeviceItem> other;
    DeviceTableModel model;

    Site(MasterType type, int editedSpan, int otherAddress, int otherSpan)
    {
        const bool wiredBus = type == MasterTrombel;
        master = std::make_unique<DI_AbstractRepeater>(Record(255, 40).wireloop(60).kastrel(160).rl(0), wiredBus);
        edited = makeDevice(Record(3).wireloop(50).kastrel(150), editedSpan, wiredBus);
        other = makeDevice(Record(4).wireloop(quint8(otherAddress)).kastrel(quint8(otherAddress ? otherAddress + 100 : 0)),
                           otherSpan, wiredBus);
        source.type = type;
        source.masterItem = master.get();
        source.deviceList = {edited.get(), other.get()};
        model.setMasterType(type);
        model.deviceConnected(master.get());
        model.deviceConnected(edited.get());
        model.deviceConnected(other.get());
    }
    QModelIndex editedCell() const
    {
        return model.index(model.indexOfItem(edited.get()).row(), DeviceTableModel::AddressColumn);
    }
};

QStringList labelled(const QStringList &texts)
{
    QStringList list;
    for (const QString &text : texts) {
        if (text.contains(QLatin1Char('.')))
            list << text;
    }
    return list;
}
} // namespace

class AddressDelegateTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareViewTests();
    }

    void addressTexts()
    {
        FakeSource source;
        const DeviceSourceRef ref(&source);
        QCOMPARE(ComboBox::addressTexts(128, ref, 0).size(), 127);
        QCOMPARE(ComboBox::addressTexts(128, ref, 0).last(), QStringLiteral("127"));
        QCOMPARE(ComboBox::addressTexts(255, ref, 0).size(), 254);
        QVERIFY(ComboBox::addressTexts(1, ref, 0).isEmpty());

        auto master = makeMaster(40, 20);
        auto spanning = makeDevice(Record(1).wireloop(5), 2);
        auto nearEnd = makeDevice(Record(2).wireloop(126), 2);
        auto unassigned = makeDevice(Record(6).wireloop(0), 3);
        auto edited = makeDevice(Record(7).wireloop(40));
        source.masterItem = master.get();
        source.deviceList = {spanning.get(), nearEnd.get(), unassigned.get(), edited.get()};
        QCOMPARE(labelled(ComboBox::addressTexts(128, ref, 7)),
                 QStringList({"5. Zentar-TIRUN", "6. Zentar-TIRUN", "7. Zentar-TIRUN", "20. Zentar-HUBRO125",
                              "126. Zentar-TIRUN", "127. Zentar-TIRUN"}));
        // Editing the master (number 255): its own address is free.
        QVERIFY(!ComboBox::addressTexts(128, ref, 255).contains(QStringLiteral("20. Zentar-HUBRO125")));
        QVERIFY(ComboBox::addressTexts(128, ref, 1).contains(QStringLiteral("40. Zentar-TIRUN")));

        // A wired-bus master's devices are listed by their bus addresses.
        source.type = MasterTrombel;
        QVERIFY(ComboBox::addressTexts(255, ref, 7).contains(QStringLiteral("103. Zentar-TIRUN")));
        QVERIFY(!ComboBox::addressTexts(255, ref, 7).contains(QStringLiteral("5. Zentar-TIRUN")));
        source.type = MasterHubro32Slow;
        QVERIFY(ComboBox::addressTexts(128, ref, 7).contains(QStringLiteral("5. Zentar-TIRUN")));
    }

    void editorLimit_data()
    {
        QTest::addColumn<int>("masterType");
        QTest::addColumn<bool>("masterRow");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("limit");
        QTest::newRow("ordinary master") << 0 << false << 1 << 128;
        QTest::newRow("wired bus: device") << 1 << false << 1 << 255;
        QTest::newRow("wired bus: the master") << 1 << true << 1 << 128;
        QTest::newRow("wired bus: the master, column 2") << 1 << true << 2 << 255;
        QTest::newRow("32-device master") << 2 << false << 1 << 128;
    }
    void editorLimit()
    {
        QFETCH(int, masterType);
        QFETCH(bool, masterRow);
        QFETCH(int, column);
        QFETCH(int, limit);
        DeviceTableModel model;
        model.setViewMode(DeviceTableModel::TreeMode);
        auto master = makeMaster();
        auto device = makeDevice(Record(3));
        model.deviceConnected(master.get());
        model.deviceConnected(device.get());
        // In the tree the device is row 0 below the master: the row alone
        // does not tell a master.
        const QModelIndex masterIndex = model.index(0, column);
        const QModelIndex deviceIndex = model.index(0, column, model.index(0, 0));
        QCOMPARE(addressEditorLimit(MasterType(masterType), masterRow ? masterIndex : deviceIndex), limit);

        FakeSource source;
        source.type = MasterType(masterType);
        std::unique_ptr<ComboBox> editor(createAddressEditor(&source, nullptr, deviceIndex));
        QCOMPARE(editor->property("address").toInt(), 3);
        if (!masterRow && column == 1)
            QCOMPARE(editor->count(), limit - 1);
    }

    void checkRange_data()
    {
        QTest::addColumn<int>("masterType");
        QTest::addColumn<int>("span");
        QTest::addColumn<int>("otherAddress");
        QTest::addColumn<int>("otherSpan");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("refusal");
        const QString byDevice = QStringLiteral("Selected address range is already occupied by device: Zentar-TIRUN");
        QTest::newRow("current address") << 0 << 0 << 14 << 0 << 50 << QString();
        QTest::newRow("nothing chosen") << 0 << 0 << 14 << 0 << 0 << QString();
        QTest::newRow("span 3 to 10, device at 13") << 0 << 3 << 13 << 0 << 10 << byDevice;
        QTest::newRow("span 3 to 10, device at 14") << 0 << 3 << 14 << 0 << 10 << QString();
        QTest::newRow("device's span reaches in") << 0 << 0 << 8 << 3 << 10 << byDevice;
        QTest::newRow("device at 0") << 0 << 3 << 0 << 3 << 1 << QString();
        QTest::newRow("the master") << 0 << 2 << 30 << 0 << 59
                                    << "Selected address range is already occupied by Zentar-HUBRO125.";
        QTest::newRow("32-device master: Wireloop addresses") << 2 << 0 << 14 << 0 << 14 << byDevice;
        QTest::newRow("wired bus: bus addresses") << 1 << 0 << 14 << 0 << 114 << byDevice;
        QTest::newRow("wired bus: Wireloop address is free") << 1 << 0 << 14 << 0 << 14 << QString();
    }
    void checkRange()
    {
        QFETCH(int, masterType);
        QFETCH(int, span);
        QFETCH(int, otherAddress);
        QFETCH(int, otherSpan);
        QFETCH(int, choice);
        QFETCH(QString, refusal);
        MessageBoxRecorder boxes;
        Site site(MasterType(masterType), span, otherAddress, otherSpan);
        const QModelIndex cell = site.editedCell();
        QSignalSpy started(site.edited.get(), &DeviceItem::wireloopAddressChanged);
        QSignalSpy errors(&site.model, &DeviceTableModel::errorOccuried);

        ComboBox editor(masterType == MasterTrombel ? 255 : 128, &site.source);
        editor.setProperty("address", 3);
        editor.onComboActivated();
        editor.setCurrentIndex(choice - 1);
        QVERIFY(checkAddressRange(&site.source, &editor, &site.model, cell));

        if (refusal.isEmpty()) {
            QTest::qWait(1);
            QCOMPARE(boxes.count(), 0);
            const bool stores = choice != 0 && choice != (masterType == MasterTrombel ? 150 : 50);
            QCOMPARE(started.count(), stores ? 1 : 0);
            if (stores)
                QCOMPARE(started.at(0).at(1).toInt(), choice);
        } else {
            // The box follows once the commit is over.
            QCOMPARE(boxes.count(), 0);
            QTRY_COMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::WarningDetails);
            QCOMPARE(boxes.last().text, refusal);
            QCOMPARE(boxes.last().informativeText, QStringLiteral("Can't change device address"));
            QCOMPARE(boxes.last().title, QStringLiteral("Address occupied"));
            QCOMPARE(started.count(), 0);
        }
        QCOMPARE(errors.count(), 0);
        QTest::ignoreMessage(QtWarningMsg, " qobject_cast<QComboBox *>(editor) = nullptr ");
        QVERIFY(!checkAddressRange(&site.source, nullptr, &site.model, cell));
    }

    void editorShowsTheCurrentAddress()
    {
        FakeSource source;
        DeviceTableModel model;
        auto device = makeDevice(Record(3).wireloop(12), 1);
        model.deviceConnected(device.get());
        source.deviceList = {device.get()};
        // Table mode: the edit value is the address text "12, 13".
        const QModelIndex cell = model.index(0, DeviceTableModel::AddressColumn);
        std::unique_ptr<ComboBox> editor(createAddressEditor(&source, nullptr, cell));
        QVERIFY(setAddressEditorData(editor.get(), cell));
        QCOMPARE(editor->currentText(), QStringLiteral("12"));
        editor->show(); // the list is labelled
        QCOMPARE(editor->currentText(), QStringLiteral("12"));
        // A later refresh of the row, with the window not active, keeps the
        // entry that shows the address.
        QVERIFY(setAddressEditorData(editor.get(), cell));
        QCOMPARE(editor->currentText(), QStringLiteral("12"));

        auto unassigned = makeDevice(Record(4).wireloop(0));
        model.deviceConnected(unassigned.get());
        QVERIFY(setAddressEditorData(editor.get(), model.index(1, DeviceTableModel::AddressColumn)));
        QCOMPARE(editor->currentIndex(), -1);
        QVERIFY(!setAddressEditorData(nullptr, cell));
    }

    void editingInTheTable()
    {
        MessageBoxRecorder boxes;
        Site site(MasterOrdinary, 0, 14, 0);
        QTableView view;
        AddressDelegate delegate(&site.source);
        view.setModel(&site.model);
        view.setItemDelegateForColumn(DeviceTableModel::AddressColumn, &delegate);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        // The list opens by itself; closing it without a new choice stores
        // nothing and lets the row follow the device again.
        const QModelIndex cell = site.editedCell();
        view.edit(cell);
        auto *editor = view.findChild<ComboBox *>();
        QVERIFY(editor);
        QCOMPARE(editor->property("address").toInt(), 3);
        QVERIFY(site.edited->data(DeviceRole::EditMark).toBool());
        QTRY_VERIFY(editor->view()->isVisible());
        QCOMPARE(editor->currentText(), QStringLiteral("50"));
        QSignalSpy started(site.edited.get(), &DeviceItem::wireloopAddressChanged);
        editor->hidePopup();
        QTRY_VERIFY(!view.findChild<ComboBox *>());
        QTRY_VERIFY(!site.edited->data(DeviceRole::EditMark).toBool());
        QCOMPARE(started.count(), 0);

        // A refused choice: the editor closes, then the box tells why; the
        // device list may change meanwhile.
        view.edit(cell);
        QPointer<ComboBox> second = view.findChild<ComboBox *>();
        QVERIFY(second);
        QTRY_VERIFY(second->view()->isVisible());
        second->setCurrentIndex(13); // "14. Zentar-TIRUN"
        QVERIFY(second->currentText().startsWith(QStringLiteral("14. ")));
        const UiSeams::MessageBoxHook recorder = UiSeams::messageBoxHook();
        UiSeams::setMessageBoxHook([&](const UiSeams::MessageBoxRequest &request) {
            site.model.setViewMode(DeviceTableModel::TreeMode);
            site.model.setViewMode(DeviceTableModel::TableMode);
            return recorder(request);
        });
        second->hidePopup();
        QTRY_COMPARE(boxes.count(), 1);
        UiSeams::setMessageBoxHook(recorder);
        QTRY_VERIFY(!second);
        QTRY_VERIFY(!site.edited->data(DeviceRole::EditMark).toBool());
        QCOMPARE(started.count(), 0);

        // A free choice is stored.
        view.edit(cell);
        auto *third = view.findChild<ComboBox *>();
        QTRY_VERIFY(third->view()->isVisible());
        third->setCurrentIndex(19);
        third->hidePopup();
        QTRY_COMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(1).toInt(), 20);
        QTRY_VERIFY(!view.findChild<ComboBox *>());
    }
};

QTEST_MAIN(AddressDelegateTest)
#include "tst_addressdelegate.moc"
