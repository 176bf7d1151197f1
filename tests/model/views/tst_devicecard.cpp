#include "viewtestdata.h"

#include "addresscombobox.h"
#include "devicecard.h"
#include "deviceitemdelegate.h"
#include "devicetablemodel.h"
#include "testsupport.h"

#include <QListView>
#include <QMouseEvent>
#include <QtTest>

#include <memory>

class DeviceCardTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareViewTests();
    }

    void layoutFollowsTheCell_data()
    {
        QTest::addColumn<QRect>("cell");
        QTest::addColumn<QSize>("decoration");
        QTest::newRow("even") << QRect(10, 20, 300, 120) << QSize(64, 64);
        QTest::newRow("odd halves") << QRect(0, 7, 251, 121) << QSize(48, 63);
    }
    void layoutFollowsTheCell()
    {
        QFETCH(QRect, cell);
        QFETCH(QSize, decoration);
        QFont font;
        font.setPointSize(9);
        const QFontMetrics f(font);
        const DeviceCard::Layout l = DeviceCard::layout(cell, decoration, f);
        QCOMPARE(l.icon, QRect(cell.left() + 5, cell.top() + cell.height() / 2 - decoration.height() / 2,
                               decoration.width(), decoration.height()));
        QCOMPARE(l.text, QRect(cell.left() + decoration.width() + 30, cell.top() + 13,
                               cell.width() - 30 - decoration.width(), cell.height()));
        QCOMPARE(l.address, QRect(l.text.left(), cell.top() + 10,
                                  f.horizontalAdvance(QStringLiteral("№123, 123, 123, 123, 1")), f.height()));
        QCOMPARE(l.arrow.size(), QSize(f.height(), f.height()));
        QCOMPARE(l.arrow.right(), l.address.right());
        QCOMPARE(l.arrow.top(), l.address.top());
        QCOMPARE(l.signalBar, QRect(l.text.left() - 20, l.address.top(), 5, cell.height() - 40));
        QCOMPARE(l.readout, l.icon.adjusted(28, 32, -26, -45));

        const QSize hint = DeviceCard::sizeHint(decoration, f);
        QCOMPARE(hint.width(), decoration.width() + f.horizontalAdvance(QStringLiteral("(апп.: 00.00 прог.: 00.00)      ")));
        QCOMPARE(hint.height(), qMax(int(4.5 * f.height()), decoration.height() + 20));
    }

    void signalBar_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("linkState");
        QTest::addColumn<int>("rssi");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("percent");
        QTest::newRow("expander") << 40 << 2 << -60 << false << 70;
        QTest::newRow("master") << 0 << 2 << -60 << false << 70;
        QTest::newRow("device at -60 dBm") << 6 << 2 << -60 << true << 70;
        QTest::newRow("device at -20 dBm") << 6 << 2 << -20 << true << 99;
        QTest::newRow("device at -30 dBm") << 6 << 2 << -30 << true << 99;
        QTest::newRow("device at -128 dBm") << 6 << 2 << -128 << true << 2;
        QTest::newRow("offline device") << 6 << 1 << -60 << false << 70;
    }
    void signalBar()
    {
        QFETCH(int, type);
        QFETCH(int, linkState);
        QFETCH(int, rssi);
        QFETCH(bool, shown);
        QFETCH(int, percent);
        QCOMPARE(DeviceCard::showsSignalBar(type, linkState), shown);
        QCOMPARE(DeviceCard::signalFillHeight(100, rssi), percent);
        QCOMPARE(DeviceCard::signalFillHeight(80, rssi), int(80 / 100.0 * percent));
        const QRect bar(84, 30, 5, 80);
        const int h = DeviceCard::signalFillHeight(80, rssi);
        QCOMPARE(DeviceCard::signalFill(bar, rssi), QRect(84, bar.bottom() - h, 5, h + 1));
    }

    void readout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("linkState");
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("lost") << 10 << 1 << 235 << "LOST";
        QTest::newRow("tenths") << 10 << 2 << 235 << "23.5";
        QTest::newRow("three digits") << 31 << 2 << 1234 << "123";
        QTest::newRow("below one") << 31 << 2 << 5 << "0.5";
        QTest::newRow("negative") << 10 << 2 << -75 << "-7.5";
    }
    void readout()
    {
        QFETCH(int, type);
        QFETCH(int, linkState);
        QFETCH(int, tenths);
        QFETCH(QString, text);
        QVERIFY(DeviceCard::hasReadout(type));
        QCOMPARE(DeviceCard::readoutText(linkState, tenths), text);
        QVERIFY(!DeviceCard::hasReadout(6));
        QCOMPARE(DeviceCard::readoutFont().pointSize(), 20);
    }

    void displayText_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("wiredBus");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("body");
        const QString master = QStringLiteral(" #1\nZentar-HUBRO125\nhw: 2.10 fw: 1.05\ns/n: 0000000042");
        QTest::newRow("device") << " #5, 6\nZentar-TIRUN \n(hw: 2.10 fw: 1.05)" << 4 << true << " #5, 6"
                                << "\nZentar-TIRUN \n(hw: 2.10 fw: 1.05)";
        QTest::newRow("no line break") << "plain" << 4 << false << "plain" << "plain";
        QTest::newRow("expander") << master << 40 << false << " #1" << master.mid(3);
        QTest::newRow("expander of a wired-bus master")
            << master << 40 << true << " #1" << "\nZentar-TROMBEL\nhw: 2.10 fw: 1.05\ns/n: 0000000042";
        QTest::newRow("32-device master keeps its name") << master << 0 << true << " #1" << master.mid(3);
    }
    void displayText()
    {
        QFETCH(QString, display);
        QFETCH(int, type);
        QFETCH(bool, wiredBus);
        QFETCH(QString, address);
        QFETCH(QString, body);
        const DeviceCard::Texts texts = DeviceCard::splitDisplayText(display, type, wiredBus);
        QCOMPARE(texts.address, address);
        QCOMPARE(texts.body, body);
    }

    void bodyLines()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(10);
        const int band = QFontMetrics(font).height();
        const QString fitsAtNine = QStringLiteral("Zentar-HUBRO125 exec. 01");
        QFont nine(font);
        nine.setPointSize(9);
        const int width = QFontMetrics(nine).horizontalAdvance(fitsAtNine) + 4;
        QVERIFY(QFontMetrics(font).horizontalAdvance(fitsAtNine) + 4 > width);
        const QString tooWide = QString(60, QLatin1Char('W'));

        const QRect box(100, 10, width, band * 3 + band / 2);
        const auto lines = DeviceCard::fitLines(QStringLiteral("\nok\n") + fitsAtNine + QLatin1Char('\n') + tooWide, font, box);
        // Three bands fit; the fourth line is not drawn.
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0).text, QString());
        QCOMPARE(lines.at(0).band, QRect(100, 10, width, band));
        QCOMPARE(lines.at(1).pointSize, 10);
        QCOMPARE(lines.at(1).text, QStringLiteral("ok"));
        QCOMPARE(lines.at(2).pointSize, 9);
        QCOMPARE(lines.at(2).text, fitsAtNine);
        QCOMPARE(lines.at(2).band.top(), 10 + 2 * band);

        // Too wide even at 8 points: 8 points, cut at its right end.
        const auto wide = DeviceCard::fitLines(tooWide, font, QRect(0, 0, 60, 100));
        QCOMPARE(wide.size(), 1);
        QCOMPARE(wide.at(0).pointSize, 8);
        QVERIFY(wide.at(0).text.endsWith(QChar(0x2026)));
        QVERIFY(wide.at(0).text.size() < tooWide.size());

        // A font below 8 points is used as it is.
        QFont small(font);
        small.setPointSize(7);
        QCOMPARE(DeviceCard::fitLines(tooWide, small, QRect(0, 0, 60, 100)).at(0).pointSize, 7);
    }

    void cardsInAListView()
    {
        FakeSource source;
        DeviceTableModel model;
        model.setViewMode(DeviceTableModel::TileMode);
        auto master = makeMaster(40, 1);
        auto device = makeDevice(Record(3).wireloop(12));
        auto meter = makeDevice(Record(4, 10).wireloop(20));
        source.masterItem = master.get();
        source.deviceList = {device.get(), meter.get()};
        for (DeviceItem *item : {static_cast<DeviceItem *>(master.get()), device.get(), meter.get()})
            model.deviceConnected(item);

        QListView view;
        DeviceItemDelegate delegate(&source);
        view.setModel(&model);
        view.setItemDelegate(&delegate);
        view.setIconSize(QSize(64, 64));
        view.setViewMode(QListView::IconMode);
        view.resize(900, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectionModel()->select(model.index(1, 0), QItemSelectionModel::Select);
        QVERIFY(!view.grab().isNull()); // every kind of card paints

        const QModelIndex cell = model.index(1, 0);
        const QRect rect = view.visualRect(cell);
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.font = view.font();
        option.rect = rect;
        option.decorationSize = view.iconSize();
        option.widget = &view;
        QCOMPARE(delegate.sizeHint(option, cell), DeviceCard::sizeHint(QSize(64, 64), option.fontMetrics));
        const QRect address = DeviceCard::layout(rect, QSize(64, 64), option.fontMetrics).address;

        // A click beside the address box changes nothing.
        QMouseEvent outside(QEvent::MouseButtonRelease, rect.bottomRight() - QPoint(2, 2), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
        QVERIFY(!delegate.editorEvent(&outside, &model, option, cell));
        QVERIFY(!view.findChild<ComboBox *>());
        QMouseEvent press(QEvent::MouseButtonPress, address.center(), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(!delegate.editorEvent(&press, &model, option, cell));

        // A click on it opens the address list there.
        QMouseEvent release(QEvent::MouseButtonRelease, address.center(), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(delegate.editorEvent(&release, &model, option, cell));
        auto *editor = view.findChild<ComboBox *>();
        QVERIFY(editor);
        QCOMPARE(editor->property("address").toInt(), 3);
        QCOMPARE(editor->geometry(), address);
        QVERIFY(editor->styleSheet().contains(QStringLiteral("border:2px solid black")));
        QTRY_VERIFY(editor->view()->isVisible());
        QCOMPARE(editor->currentText(), QStringLiteral("12"));
        QVERIFY(editor->itemText(19).startsWith(QStringLiteral("20. ")));
        editor->hidePopup();
        QTRY_VERIFY(!view.findChild<ComboBox *>());
        QTRY_VERIFY(!device->data(DeviceRole::EditMark).toBool());

        // A delegate that outlives its connection paints and edits with an
        // ordinary master and no devices.
        auto *gone = new FakeSource;
        gone->type = MasterTrombel;
        DeviceItemDelegate orphan(gone);
        delete gone;
        view.setItemDelegate(&orphan);
        QVERIFY(!view.grab().isNull());
        std::unique_ptr<QWidget> lone(orphan.createEditor(nullptr, option, cell));
        auto *combo = qobject_cast<ComboBox *>(lone.get());
        QVERIFY(combo);
        QCOMPARE(combo->limit(), 128);
        combo->onComboActivated();
        QCOMPARE(combo->itemText(19), QStringLiteral("20"));
        view.setItemDelegate(&delegate);
    }
};

QTEST_MAIN(DeviceCardTest)
#include "tst_devicecard.moc"
