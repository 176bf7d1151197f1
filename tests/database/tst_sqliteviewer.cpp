// The graph selection dialog and the viewer against a collector in a thread
// of its own, over database files written for each case.

#include "appglobals.h"
#include "deviceinfocollector.h"
#include "measurementfile.h"
#include "measurementfixture.h"
#include "collectorrig.h"
#include "messagecapture.h"
#include "treemodel.h"
#include "plotfixture.h"
#include "plotmarker.h"
#include "screenshot.h"
#include "settings.h"
#include "datetimerange.h"
#include "sqlitedialog.h"
#include "sqliteview.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeView>
#include <QtTest>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// A collector on a thread of its own, reading one file.
class ReaderRig
{
public:
    explicit ReaderRig(const QString &path) : collector(new DeviceInfoCollector)
    {
        collector->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, collector, &QObject::deleteLater);
        thread.start();
        QMetaObject::invokeMethod(collector, "openDatabase", Qt::BlockingQueuedConnection, Q_ARG(QString, path));
    }
    ~ReaderRig()
    {
        thread.quit();
        thread.wait();
    }
    // Holds the collector's thread until release().
    void hold()
    {
        QMetaObject::invokeMethod(collector, [this] { gate.acquire(); }, Qt::QueuedConnection);
    }
    void release() { gate.release(); }

    QThread thread;
    DeviceInfoCollector *collector;
    QSemaphore gate;
};

QListWidget *list(QWidget *dialog, const char *name)
{
    return dialog->findChild<QListWidget *>(QLatin1String(name));
}

QStringList texts(QListWidget *widget, bool shownOnly = false)
{
    QStringList out;
    for (int row = 0; row < widget->count(); ++row) {
        if (!shownOnly || !widget->item(row)->isHidden())
            out << widget->item(row)->text();
    }
    return out;
}

QListWidgetItem *itemWithText(QListWidget *widget, const QString &text, bool shownOnly = true)
{
    for (int row = 0; row < widget->count(); ++row) {
        QListWidgetItem *item = widget->item(row);
        if (item->text() == text && (!shownOnly || !item->isHidden()))
            return item;
    }
    return nullptr;
}

const qint64 Start = QDateTime(QDate(2026, 3, 2), QTime(8, 0)).toSecsSinceEpoch();

// The pixels a text item covers.
QRectF rectOf(QCPItemText *label)
{
    return QRectF(label->topLeft->pixelPosition(), label->bottomRight->pixelPosition()).normalized();
}

// The labels of the tags: time (or span) labels first, then value labels.
QList<QCPItemText *> tagLabels(QCustomPlot *plot, bool timeLabels)
{
    QList<QCPItemText *> labels;
    for (int i = 0; i < plot->itemCount(); ++i) {
        auto *text = qobject_cast<QCPItemText *>(plot->item(i));
        if (text && text->property("paired").isValid() && text->property("time").isValid() == timeLabels)
            labels << text;
    }
    return labels;
}

} // namespace

class TestSqliteViewer : public QObject
{
    Q_OBJECT

    std::unique_ptr<MessageBoxRecorder> m_boxes;

    QString field(int i) const { return DeviceItem::fieldNamesForType(4).at(i); }
    QString title(int i) const { return DeviceItem::parameterTitleForType(4, field(i)); }

    // The viewer with its dialog filled from the collector.
    SQLiteDialog *openFilledDialog(SQLiteView &view, int types)
    {
        view.openDialog();
        SQLiteDialog *dialog = view.dialog();
        if (!dialog)
            return nullptr;
        QListWidget *type = list(dialog, "lwType");
        if (!QTest::qWaitFor([&] { return type->count() == types && list(dialog, "lwParameter")->isEnabled(); }, 5000))
            return nullptr;
        QTest::qWait(50); // the remaining parameter answers
        return dialog;
    }

    // Chooses a type and devices, then ticks one title.
    void tick(SQLiteDialog *dialog, const QString &type, const QStringList &serials, const QString &parameter)
    {
        list(dialog, "lwType")->setCurrentItem(itemWithText(list(dialog, "lwType"), type));
        QListWidget *serial = list(dialog, "lwSerial");
        serial->clearSelection();
        for (const QString &text : serials)
            itemWithText(serial, text)->setSelected(true);
        itemWithText(list(dialog, "lwParameter"), parameter)->setCheckState(Qt::Checked);
    }

    // Plots the titles `fields` of one device of type 4 from the view's file.
    bool plotFields(SQLiteView &view, quint32 serial, const QList<int> &fields)
    {
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        if (!dialog)
            return false;
        for (int f : fields)
            tick(dialog, deviceModelNames.at(4), {QString::number(serial)}, title(f));
        const bool plotted = add(view, dialog, fields.size());
        dialog->close();
        return plotted;
    }

    // Add, and wait until every pending graph is plotted.
    bool add(SQLiteView &view, SQLiteDialog *dialog, int graphs)
    {
        dialog->findChild<QPushButton *>(QStringLiteral("pbAdd"))->click();
        return QTest::qWaitFor([&] { return view.plot()->graphCount() == graphs && !dialog->handingOver(); }, 5000);
    }

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        SQLiteDialog::setAnswerTimeout(30000);
        // The expander items' own boxes (their interval check) answer at once.
        m_boxes = std::make_unique<MessageBoxRecorder>();
    }
    void cleanupTestCase() { m_boxes.reset(); }

    void listsAndPendingRows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lists.sqlite"));
        {
            MeasurementFile file(path);
            for (quint32 serial : {20u, 100u, 3u})
                file.addDevice(4, serial);
            file.addDevice(3, 9);
            file.addDevice(150, 5); // no model name
            for (quint32 serial : {20u, 100u, 3u, 9u, 5u})
                file.addSeries(field(0), serial, Start, 3, [](int i) { return i; });
            file.addSeries(field(1), 20, Start, 3, [](int i) { return i; });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        SQLiteDialog *dialog = openFilledDialog(view, 2);
        QVERIFY(dialog);
        QCOMPARE(texts(list(dialog, "lwType")), (QStringList{deviceModelNames.at(3), deviceModelNames.at(4)}));
        QCOMPARE(texts(list(dialog, "lwSerial")), (QStringList{"100", "20", "3", "9"}));
        list(dialog, "lwType")->setCurrentItem(itemWithText(list(dialog, "lwType"), deviceModelNames.at(4)));
        QCOMPARE(texts(list(dialog, "lwSerial"), true), (QStringList{"100", "20", "3"}));

        // All three selected: only the title all of them have; one tick, three rows.
        tick(dialog, deviceModelNames.at(4), {"100", "20", "3"}, title(0));
        QCOMPARE(texts(list(dialog, "lwParameter"), true), QStringList{title(0)});
        QAbstractItemModel *model = view.graphTree()->model();
        const QModelIndex typeRow = model->index(0, 0);
        QCOMPARE(model->rowCount(typeRow), 3);
        for (int row = 0; row < 3; ++row) {
            const QModelIndex parameter = model->index(0, 0, model->index(row, 0, typeRow));
            QCOMPARE(parameter.data().toString(), title(0));
            QVERIFY(isPendingRow(parameter));
        }
        QCOMPARE(dialog->findChild<QSpinBox *>(QStringLiteral("sbSelectedCount"))->value(), 3);

        // Closing drops the pending rows.
        dialog->close();
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(view.plot()->graphCount(), 0);
    }

    void graphsColoursAndAxes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("axes.sqlite"));
        const quint32 big = 3000000000u;
        {
            MeasurementFile file(path);
            file.addDevice(4, 11);
            file.addDevice(4, big);
            file.addSeries(field(0), 11, Start, 10, [](int i) { return i * 10.0; });      // left
            file.addSeries(field(1), 11, Start, 10, [](int i) { return i == 5 ? 100.5 : 1.0; }); // right
            file.addSeries(field(0), big, Start, 10, [](int) { return 500.0; });          // right, one value
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        auto master = expander(77);
        auto device = radioDevice(4, 11);
        auto bigDevice = radioDevice(4, big);
        view.setMaster(master.get());
        view.setDevices({device.get(), bigDevice.get()});
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        QVERIFY(itemWithText(list(dialog, "lwSerial"), QStringLiteral("3000000000"), false));
        QSignalSpy added(&view, &SQLiteView::graphAdded);

        tick(dialog, deviceModelNames.at(4), {"11"}, title(0));
        QVERIFY(add(view, dialog, 1));
        tick(dialog, deviceModelNames.at(4), {"11"}, title(1));
        QVERIFY(add(view, dialog, 2));
        QCOMPARE(added.count(), 2);
        QCPGraph *left = view.plot()->graph(0);
        QCPGraph *right = view.plot()->graph(1);
        QCOMPARE(left->pen().color(), defaultGraphColours().at(0));  // Amber
        QCOMPARE(right->pen().color(), defaultGraphColours().at(1)); // Scarlet
        QCOMPARE(left->valueAxis(), view.plot()->yAxis);
        QCOMPARE(right->valueAxis(), view.plot()->yAxis2);
        QCOMPARE(left->data()->size(), 10);
        QCOMPARE(left->data()->at(0)->key, double(Start));
        QCOMPARE(added.first().first().value<GraphSettings_t>().field, field(0));
        QCOMPARE(left->name(), graphName(added.first().first().value<GraphSettings_t>()));

        // Removing the first graph gives Amber back first.
        QAbstractItemModel *model = view.graphTree()->model();
        const QModelIndex firstRow = findGraphRow({4, 11, title(0), {}, {}, {}}, view.graphTree());
        QVERIFY(firstRow.isValid());
        view.graphTree()->selectionModel()->select(firstRow, QItemSelectionModel::ClearAndSelect);
        view.removeSelectedGraphs();
        QCOMPARE(view.plot()->graphCount(), 1);
        QCOMPARE(view.freeColours().first(), defaultGraphColours().at(0));

        // A right axis of one value v: v ± 60 after the first answer and after Full.
        tick(dialog, deviceModelNames.at(4), {"3000000000"}, title(0));
        QVERIFY(add(view, dialog, 2));
        QCPGraph *flat = view.plot()->graph(1);
        QCOMPARE(flat->pen().color(), defaultGraphColours().at(0));
        QCOMPARE(flat->valueAxis(), view.plot()->yAxis2);
        QCOMPARE(flat->data()->size(), 10);
        // The right axis holds 1 .. 100.5 and 500: the whole span with 10 % margins.
        view.removeAllTags();
        QVERIFY(model->rowCount() > 0);
        dialog->close();

        // Only the flat series left on the right axis: v ± 60.
        const QModelIndex scarlet = findGraphRow({4, 11, title(1), {}, {}, {}}, view.graphTree());
        view.graphTree()->selectionModel()->select(scarlet, QItemSelectionModel::ClearAndSelect);
        view.removeSelectedGraphs();
        view.showFullGraphs();
        QCOMPARE(view.plot()->yAxis2->range().lower, 440.0);
        QCOMPARE(view.plot()->yAxis2->range().upper, 560.0);
        QCOMPARE(view.plot()->xAxis->range().lower, double(Start) - 1000.0);
    }

    void flatRightSeriesOnItsOwn()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("flat.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 12);
            file.addSeries(field(0), 12, Start, 5, [](int) { return 300.0; });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"12"}, title(0));
        QVERIFY(add(view, dialog, 1));
        QCOMPARE(view.plot()->yAxis2->range().lower, 240.0);
        QCOMPARE(view.plot()->yAxis2->range().upper, 360.0);
        view.showFullGraphs();
        QCOMPARE(view.plot()->yAxis2->range().lower, 240.0);
        QCOMPARE(view.plot()->yAxis2->range().upper, 360.0);
        dialog->close();
    }

    void pollingAppendsWithBreaks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.sqlite"));
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        auto file = std::make_unique<MeasurementFile>(path);
        file->addDevice(4, 21);
        file->addDevice(4, 22);
        file->addSeries(field(0), 21, now - 100, 5, [](int i) { return i; });
        file->addSeries(field(0), 22, now - 100, 5, [](int i) { return i; });
        ReaderRig rig(path);
        auto master = expander(77);
        auto first = radioDevice(4, 21);
        auto second = radioDevice(4, 22);
        auto *view = new SQLiteView(rig.collector);
        QPointer<SQLiteView> guard(view);
        view->setMaster(master.get());
        view->setDevices({master.get(), first.get(), second.get()});
        view->setPollInterval(30);
        SQLiteDialog *dialog = openFilledDialog(*view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"21", "22"}, title(0));
        QVERIFY(add(*view, dialog, 2));
        dialog->close();
        auto *polling = view->findChild<QCheckBox *>(QStringLiteral("cbDatabasePolling"));
        QVERIFY(polling->isEnabled());
        QVERIFY(polling->isChecked());
        QVERIFY(view->isPolling());

        // New rows come in with the next pass.
        file->addSeries(field(0), 21, now - 90, 2, [](int) { return 50; });
        QTRY_COMPARE(view->plot()->graph(0)->data()->size(), 7);

        // Off and on again: a break at the stop, then the rows after it.
        polling->setChecked(false);
        QCOMPARE(view->plot()->graph(0)->data()->size(), 8);
        QVERIFY(std::isnan((view->plot()->graph(0)->data()->constEnd() - 1)->value));
        file->addSeries(field(0), 21, now - 80, 1, [](int) { return 60; });
        polling->setChecked(true);
        QTRY_COMPARE(view->plot()->graph(0)->data()->size(), 9);

        // A device removed and the expander gone while polling: their graphs
        // leave the queue, the plotted data stays, nothing reads a freed item.
        second.reset();
        QTRY_COMPARE(view->queuedGraphs(), 1);
        master.reset();
        first.reset();
        QTRY_VERIFY(!view->isPolling());
        QCOMPARE(view->plot()->graphCount(), 2);
        delete view;
    }

    // A graph whose rows all lie in one second: the rows of a poll follow
    // the plotted ones in the order they were written.
    void pollWithinOneSecondKeepsTheOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.sqlite"));
        const QString second = QDateTime::currentDateTime().addSecs(-50).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        auto file = std::make_unique<MeasurementFile>(path);
        file->addDevice(4, 21);
        file->addSeries(field(0), 21, QDateTime::currentSecsSinceEpoch() - 100, 0, [](int i) { return i; });
        const auto insert = [&](const QString &millis, double value) {
            return file->exec(QStringLiteral("INSERT INTO \"%1\" (device, value, created) VALUES (21, ?, ?)").arg(field(0)),
                              QVariantList{QVariant(value), QVariant(second + millis)});
        };
        QVERIFY(insert(QStringLiteral(".100"), 1.0));
        QVERIFY(insert(QStringLiteral(".200"), 2.0));
        ReaderRig rig(path);
        auto master = expander(77);
        auto device = radioDevice(4, 21);
        SQLiteView view(rig.collector);
        view.setMaster(master.get());
        view.setDevices({master.get(), device.get()});
        view.setPollInterval(30);
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"21"}, title(0));
        QVERIFY(add(view, dialog, 1));
        dialog->close();
        QVERIFY(view.isPolling());

        QVERIFY(insert(QStringLiteral(".300"), 3.0));
        QVERIFY(insert(QStringLiteral(".400"), 4.0));
        QTRY_COMPARE(view.plot()->graph(0)->data()->size(), 4);
        QList<double> values;
        for (auto it = view.plot()->graph(0)->data()->constBegin(); it != view.plot()->graph(0)->data()->constEnd(); ++it)
            values << it->value;
        QCOMPARE(values, (QList<double>{1.0, 2.0, 3.0, 4.0}));
    }

    // Values the session collector writes come back through the viewer as
    // they were handed over: each at the second of its stored time, a break
    // as NaN; a poll goes on after the newest row; the type names are
    // stored as given.
    void sessionValuesPlotAsWritten()
    {
        removeDatabaseFiles(sessionPath());
        setStoredChoice(QVariantMap{{QStringLiteral("4:1001"), QStringList{field(0)}}});
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        QVariantList handed{1.5, -2.25, 1e300, 123456789.125, NaN, 0.0, 42, -0.001};
        for (const QVariant &value : handed)
            rig.collector->appendValue(field(0), 1001, value);
        rig.sync();
        Reader reader(sessionPath());
        QTRY_COMPARE(reader.count(field(0)), handed.size());

        QList<QVariantList> names;
        for (int type = 0; type < DeviceModelCount; ++type) {
            if (!deviceModelNames.value(type).isEmpty())
                names << QVariantList{type, deviceModelNames.value(type)};
        }
        QCOMPARE(reader.rows(QStringLiteral("SELECT type, name FROM DeviceType ORDER BY id")), names);

        auto device = radioDevice(4, 1001);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.setDevices({device.get()});
        QVERIFY(plotFields(view, 1001, {0}));
        const auto compare = [&] {
            const QList<QVariantList> rows =
                reader.rows(QStringLiteral("SELECT created, value FROM %1 ORDER BY id").arg(field(0)));
            const QSharedPointer<QCPGraphDataContainer> data = view.plot()->graph(0)->data();
            if (data->size() != rows.size() || rows.size() != handed.size())
                return QStringLiteral("%1 points, %2 rows, %3 handed").arg(data->size()).arg(rows.size()).arg(handed.size());
            for (int i = 0; i < rows.size(); ++i) {
                const QString created = rows.at(i).at(0).toString();
                const double key = double(QDateTime::fromString(created, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                                              .toMSecsSinceEpoch()
                                          / 1000);
                const double value = handed.at(i).toDouble();
                const QCPGraphData &point = *(data->constBegin() + i);
                const bool same = std::isnan(value) ? std::isnan(point.value) && rows.at(i).at(1).isNull()
                                                    : point.value == value && rows.at(i).at(1).toDouble() == value;
                if (!isCreatedText(created) || point.key != key || !same) {
                    QString all;
                    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
                        all += QStringLiteral(" %1:%2").arg(it->key, 0, 'f', 3).arg(it->value);
                    qWarning() << "points" << all;
                    return QStringLiteral("row %1: %2 %3 plotted as %4 %5")
                        .arg(i)
                        .arg(created, rows.at(i).at(1).toString())
                        .arg(point.key)
                        .arg(point.value);
                }
            }
            return QString();
        };
        QCOMPARE(compare(), QString());

        for (const double value : {7.75, -8.5}) {
            rig.collector->appendValue(field(0), 1001, value);
            handed << value;
        }
        QTRY_COMPARE(reader.count(field(0)), handed.size());
        view.pollNow();
        QTRY_COMPARE(view.plot()->graph(0)->data()->size(), handed.size());
        QCOMPARE(compare(), QString());
    }

    void backupWindowRestoresPolling()
    {
        FileDialogScript folders;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 61, QStringLiteral("2026-03-02 08:00:00.000"));
            file.addSeries(field(0), 61, QDateTime::currentSecsSinceEpoch() - 10, 3, [](int i) { return i; });
        }
        ReaderRig rig(path);
        auto device = radioDevice(4, 61);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.setDevices({device.get()});
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"61"}, title(0));
        QVERIFY(add(view, dialog, 1));
        dialog->close();
        auto *polling = view.findChild<QCheckBox *>(QStringLiteral("cbDatabasePolling"));
        auto *save = view.findChild<QPushButton *>(QStringLiteral("pbSave"));
        // Polling on, then off: each comes back as it was when the window closes.
        for (bool on : {true, false}) {
            polling->setChecked(on);
            QCOMPARE(view.isPolling(), on);
            folders.answer(dir.path());
            save->click();
            QTRY_VERIFY(shownWindow<DateTimeRange>());
            QPointer<DateTimeRange> range = shownWindow<DateTimeRange>();
            QVERIFY(!polling->isChecked());
            range->close();
            QTRY_VERIFY(!range);
            QCOMPARE(polling->isChecked(), on);
            QCOMPARE(view.isPolling(), on);
        }
    }

    void dialogClosedDuringSlowRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("slow.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 31);
            file.addSeries(field(0), 31, Start, 5, [](int i) { return i; });
            file.addSeries(field(1), 31, Start, 5, [](int i) { return i; });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"31"}, title(0));
        rig.hold();
        dialog->findChild<QPushButton *>(QStringLiteral("pbAdd"))->click();
        QVERIFY(dialog->handingOver());
        dialog->close(); // drops the pending row the query was made for
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig.release();
        QMetaObject::invokeMethod(rig.collector, [] {}, Qt::BlockingQueuedConnection);
        QTest::qWait(50);
        QCOMPARE(view.plot()->graphCount(), 0);
        QCOMPARE(view.queuedGraphs(), 0);
        QCOMPARE(view.graphTree()->model()->rowCount(), 0);
        QCOMPARE(view.freeColours().first(), defaultGraphColours().at(0));

        // The next graph plots as usual.
        dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"31"}, title(1));
        QVERIFY(add(view, dialog, 1));
        QCOMPARE(view.plot()->graph(0)->pen().color(), defaultGraphColours().at(0));
        dialog->close();
    }

    void handOverTimesOut()
    {
        MessageBoxRecorder boxes;
        SQLiteDialog::setAnswerTimeout(50);
        TreeModel model({QStringLiteral("Selected parameters"), QStringLiteral("Hide")});
        auto *dialog = new SQLiteDialog(&model);
        QPointer<SQLiteDialog> guard(dialog);
        dialog->show();
        auto *tree = dialog->findChild<QTreeView *>(QStringLiteral("tvSelected"));
        addGraphRow({4, 1, title(0), {}, {}, {}}, tree);
        addGraphRow({4, 1, title(1), {}, {}, {}}, tree);
        QSignalSpy handed(dialog, &SQLiteDialog::addGraph);
        dialog->findChild<QPushButton *>(QStringLiteral("pbAdd"))->click();
        QCOMPARE(handed.count(), 1);
        QVERIFY(!dialog->isEnabled());
        QTRY_VERIFY(dialog->isEnabled());
        QCOMPARE(handed.count(), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Parameter selection"));
        QCOMPARE(boxes.last().text, QStringLiteral("No answer from the database. The remaining graphs were not added."));
        SQLiteDialog::setAnswerTimeout(30000);
        dialog->close();
    }

    void lateParameterItemsTickNothing()
    {
        TreeModel model({QStringLiteral("Selected parameters"), QStringLiteral("Hide")});
        DeviceInfoCollector collector; // answers are fed by hand
        auto *dialog = new SQLiteDialog(&model);
        dialog->show();
        auto *tree = dialog->findChild<QTreeView *>(QStringLiteral("tvSelected"));
        // Serial 2 already has a graph of that title.
        const QModelIndex existing = addGraphRow({4, 2, title(0), {}, {}, {}}, tree);
        model.setData(existing, QColor(Qt::red), Qt::DecorationRole);
        dialog->setCollector(&collector);
        emit collector.columnContentReceived(QStringLiteral("type"), {4}, -1);
        emit collector.columnContentReceived(QStringLiteral("serial"), {1, 2}, 4);
        emit collector.columnContentReceived(QStringLiteral("name"), {field(0)}, QVariantList{1, 4});
        list(dialog, "lwType")->setCurrentRow(0);
        for (int row = 0; row < 2; ++row)
            list(dialog, "lwSerial")->item(row)->setSelected(true);
        // The answer for serial 2 comes late, while both devices are selected.
        const int rows = model.rowCount(model.index(0, 0));
        emit collector.columnContentReceived(QStringLiteral("name"), {field(0)}, QVariantList{2, 4});
        QCOMPARE(list(dialog, "lwParameter")->count(), 2);
        QCOMPARE(list(dialog, "lwParameter")->item(1)->checkState(), Qt::Checked);
        // Its creation ticked nothing: serial 1 got no row.
        QCOMPARE(model.rowCount(model.index(0, 0)), rows);
        QVERIFY(!findGraphRow({4, 1, title(0), {}, {}, {}}, tree).isValid());
        dialog->close();
    }

    // A parameter ticked before or after "Select all" devices gives every
    // selected device its graph: the order of the clicks decides nothing.
    void clickOrderChoosesTheSameGraphs_data()
    {
        QTest::addColumn<bool>("parameterFirst");
        QTest::newRow("parameter, then all devices") << true;
        QTest::newRow("all devices, then parameter") << false;
    }
    void clickOrderChoosesTheSameGraphs()
    {
        QFETCH(bool, parameterFirst);
        TreeModel model({QStringLiteral("Selected parameters"), QStringLiteral("Hide")});
        DeviceInfoCollector collector; // answers are fed by hand
        auto *dialog = new SQLiteDialog(&model);
        dialog->show();
        auto *tree = dialog->findChild<QTreeView *>(QStringLiteral("tvSelected"));
        dialog->setCollector(&collector);
        emit collector.columnContentReceived(QStringLiteral("type"), {4}, -1);
        emit collector.columnContentReceived(QStringLiteral("serial"), {1, 2, 3}, 4);
        for (int serial : {1, 2, 3})
            emit collector.columnContentReceived(QStringLiteral("name"), {field(0), field(1)}, QVariantList{serial, 4});
        list(dialog, "lwType")->setCurrentRow(0); // the first device is selected with its type
        auto *allDevices = dialog->findChild<QCheckBox *>(QStringLiteral("cbSelectAllSerials"));
        QVERIFY(allDevices && allDevices->isEnabled());
        const auto tickParameter = [&] {
            itemWithText(list(dialog, "lwParameter"), title(1))->setCheckState(Qt::Checked);
        };
        if (parameterFirst) {
            tickParameter();
            allDevices->click();
        } else {
            allDevices->click();
            tickParameter();
        }
        QCOMPARE(list(dialog, "lwSerial")->selectedItems().size(), 3);
        for (quint32 serial : {1u, 2u, 3u}) {
            QVERIFY2(findGraphRow({4, serial, title(1), {}, {}, {}}, tree).isValid(), qPrintable(QString::number(serial)));
            QVERIFY(!findGraphRow({4, serial, title(0), {}, {}, {}}, tree).isValid());
        }
        QCOMPARE(dialog->findChild<QSpinBox *>(QStringLiteral("sbSelectedCount"))->value(), 3);
        // Every device's item of the title is ticked: the list shows what the tree holds.
        for (int row = 0; row < list(dialog, "lwParameter")->count(); ++row) {
            const QListWidgetItem *item = list(dialog, "lwParameter")->item(row);
            QCOMPARE(item->checkState(), item->text() == title(1) ? Qt::Checked : Qt::Unchecked);
        }

        // Another device chosen alone keeps its own ticks: a replaced selection carries nothing.
        list(dialog, "lwSerial")->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(dialog->findChild<QSpinBox *>(QStringLiteral("sbSelectedCount"))->value(), 3);
        dialog->close();
    }

    void filesOpenAndClose()
    {
        MessageBoxRecorder boxes;
        FileDialogScript files;
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("a")));
        QDir().mkpath(dir.filePath(QStringLiteral("b")));
        const QString a = dir.filePath(QStringLiteral("a/same.sqlite"));
        const QString b = dir.filePath(QStringLiteral("b/same.sqlite"));
        {
            MeasurementFile fa(a);
            fa.addDevice(4, 41);
            fa.addSeries(field(0), 41, Start, 3, [](int) { return 1.0; });
            MeasurementFile fb(b);
            fb.addDevice(4, 41);
            fb.addSeries(field(0), 41, Start, 7, [](int) { return 2.0; });
        }
        const QByteArray before = fileBytes(a);
        const QString damaged = dir.filePath(QStringLiteral("damaged.sqlite"));
        {
            QFile out(damaged);
            out.open(QIODevice::WriteOnly);
            out.write(QByteArray(4096, 'x'));
        }
        ReaderRig session(dir.filePath(QStringLiteral("session.sqlite")));
        SQLiteView view(session.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        auto *open = view.findChild<QPushButton *>(QStringLiteral("pbOpen"));

        for (const QString &path : {a, b}) {
            files.answer(path);
            open->click();
            QCOMPARE(view.mode(), 1);
            SQLiteDialog *dialog = view.dialog();
            QVERIFY(dialog);
            QTRY_VERIFY(list(dialog, "lwParameter")->count() == 1);
            tick(dialog, deviceModelNames.at(4), {"41"}, title(0));
            QVERIFY2(add(view, dialog, 1), qPrintable(path));
            QCOMPARE(view.plot()->graph(0)->data()->size(), path == a ? 3 : 7);
            dialog->close();
            open->click(); // close the file
            QCOMPARE(view.mode(), 0);
            QCOMPARE(view.plot()->graphCount(), 0);
        }
        QCOMPARE(fileBytes(a), before);

        files.answer(damaged);
        open->click();
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QVERIFY(boxes.last().text.contains(QStringLiteral("damaged.sqlite")));
        if (view.dialog())
            view.dialog()->close();
        open->click();
    }

    // A series is framed by its own values with a tenth of its span around
    // them (ten units around a flat one) when it is first plotted, and the
    // same by Full: negative series are not stretched up to zero.
    void valueAxesFrameTheSeries_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<bool>("right");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("all negative, dBm") << -95.0 << -60.0 << false << -98.5 << -56.5;
        QTest::newRow("mixed") << -20.0 << 30.0 << false << -25.0 << 35.0;
        QTest::newRow("all positive") << 10.0 << 40.0 << false << 7.0 << 43.0;
        QTest::newRow("flat negative") << -70.0 << -70.0 << false << -80.0 << -60.0;
        QTest::newRow("flat positive") << 5.0 << 5.0 << false << -5.0 << 15.0;
        QTest::newRow("all negative, right axis") << -140.0 << -110.0 << true << -143.0 << -107.0;
    }
    void valueAxesFrameTheSeries()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(bool, right);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("range.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 81);
            file.addSeries(field(0), 81, Start, 11, [&](int i) { return low + (high - low) * i / 10; });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(plotFields(view, 81, {0}));
        QCPAxis *axis = right ? view.plot()->yAxis2 : view.plot()->yAxis;
        QCOMPARE(view.plot()->graph(0)->valueAxis(), axis);
        QCOMPARE(axis->range().lower, lower);
        QCOMPARE(axis->range().upper, upper);
        axis->setRange(-1000.0, 1000.0);
        view.showFullGraphs();
        QCOMPARE(axis->range().lower, lower);
        QCOMPARE(axis->range().upper, upper);
    }

    // The crosshair over the plot: with a graph selected its value label
    // reads that graph beside the vertical line, inside the plot; without one
    // it stays hidden; no label is ever shown empty.
    void crosshairShowsTheSelectedGraph_data()
    {
        QTest::addColumn<int>("plateau");
        QTest::addColumn<int>("y"); // pointer height in the plot
        QTest::addColumn<bool>("selected");
        QTest::newRow("middle") << 2 << 300 << true;
        QTest::newRow("near the right edge") << 5 << 350 << true;
        QTest::newRow("near the top") << 3 << 30 << true;
        QTest::newRow("near the left edge") << 0 << 500 << true;
        QTest::newRow("no graph selected") << 2 << 300 << false;
    }
    void crosshairShowsTheSelectedGraph()
    {
        QFETCH(int, plateau);
        QFETCH(int, y);
        QFETCH(bool, selected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("crosshair.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 91);
            file.addSeries(field(0), 91, Start, 60, [](int i) { return plateauValue(i / 10); });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.resize(1200, 700);
        view.show();
        QVERIFY(plotFields(view, 91, {0}));
        QCustomPlot *plot = view.plot();
        QCPGraph *graph = plot->graph(0);
        plot->xAxis->setRange(Start, Start + 57.0);
        plot->yAxis->setRange(-100.0, -50.0);
        plot->replot();
        if (selected) {
            const QPoint onGraph = mouseFor(pixelOf(plot, Start + 5.0, plateauValue(0)));
            plotMouse(plot, QEvent::MouseButtonPress, onGraph, Qt::LeftButton);
            plotMouse(plot, QEvent::MouseButtonRelease, onGraph, Qt::LeftButton);
            QCOMPARE(plot->selectedGraphs(), QList<QCPGraph *>{graph});
        }
        const QPoint mouse(overPlateau(plot, Start, plateau, 0.5).x(), y);
        plotMove(plot, mouse);
        plot->replot();

        Marker *vertical = view.verticalMarker();
        Marker *horizontal = view.horizontalMarker();
        QVERIFY(vertical->visible() && horizontal->visible());
        QVERIFY(vertical->timeLabel()->visible());
        QVERIFY(horizontal->valueLabel()->visible());
        QVERIFY(!horizontal->timeLabel()->visible());
        for (int i = 0; i < plot->itemCount(); ++i) {
            auto *text = qobject_cast<QCPItemText *>(plot->item(i));
            if (text && text->visible())
                QVERIFY2(!text->text().isEmpty(), "an empty label is shown");
        }
        QCPItemText *label = vertical->valueLabel();
        if (!selected) {
            QVERIFY(!label->visible());
            return;
        }
        QVERIFY(label->visible());
        QCOMPARE(label->text(), QString::number(plateauValue(plateau), 'f', 2));
        const QRectF rect = rectOf(label);
        QVERIFY2(QRectF(plot->rect()).contains(rect), qPrintable(QStringLiteral("label at %1,%2 %3x%4")
                                                             .arg(rect.x()).arg(rect.y())
                                                             .arg(rect.width()).arg(rect.height())));
        const double line = plot->xAxis->coordToPixel(vertical->coordinate());
        const double gap = std::max({rect.left() - line, line - rect.right(), 0.0});
        QVERIFY2(gap <= 10.0, qPrintable(QStringLiteral("%1 pixels from the marker").arg(gap)));
        QVERIFY(std::abs(rect.center().y() - mouse.y()) <= 40.0);
    }

    // Two tag pairs wherever they stand: their time and value labels never
    // cover each other, also once the time axis is zoomed out to a day, and
    // each stays with its tag (time labels at a tag's key, value labels at a
    // tag's value). Labels that are apart keep their own row and edge.
    void tagLabelsKeepApart_data()
    {
        QTest::addColumn<QList<int>>("seconds");
        QTest::addColumn<QList<int>>("graphs");
        QTest::addColumn<bool>("apart");
        QTest::newRow("one graph, same places") << QList<int>{10, 20, 10, 20} << QList<int>{0, 0, 0, 0} << false;
        QTest::newRow("one graph, a second later") << QList<int>{10, 20, 11, 21} << QList<int>{0, 0, 0, 0} << false;
        QTest::newRow("two graphs, same value") << QList<int>{10, 30, 12, 32} << QList<int>{0, 0, 1, 1} << false;
        QTest::newRow("a minute apart") << QList<int>{10, 20, 80, 90} << QList<int>{0, 0, 0, 0} << false;
        QTest::newRow("far apart") << QList<int>{5, 15, 200, 280} << QList<int>{0, 0, 2, 2} << true;
    }
    void tagLabelsKeepApart()
    {
        QFETCH(QList<int>, seconds);
        QFETCH(QList<int>, graphs);
        QFETCH(bool, apart);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tags.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 71);
            file.addSeries(field(0), 71, Start, 300, [](int) { return -70.0; });
            file.addSeries(field(1), 71, Start, 300, [](int) { return -70.0; });
            file.addSeries(field(2), 71, Start, 300, [](int i) { return -95.0 + i * 0.1; });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.resize(1200, 700);
        view.show();
        QVERIFY(plotFields(view, 71, {0, 1, 2}));
        QCustomPlot *plot = view.plot();
        plot->xAxis->setRange(Start - 5.0, Start + 305.0);
        plot->yAxis->setRange(-100.0, -60.0);
        plot->replot();
        for (int i = 0; i < 4; ++i)
            QVERIFY(view.addTag(plot->graph(graphs.at(i)), Start + seconds.at(i)));

        for (const double span : {310.0, 86400.0}) {
            plot->xAxis->setRange(Start + 150.0 - span / 2, Start + 150.0 + span / 2);
            plot->replot();
            const QList<QCPItemText *> times = tagLabels(plot, true);
            const QList<QCPItemText *> values = tagLabels(plot, false);
            QCOMPARE(times.size(), 2);
            QCOMPARE(values.size(), 2);
            const QList<QCPItemText *> all = times + values;
            for (int a = 0; a < all.size(); ++a) {
                QVERIFY(QRectF(plot->rect()).contains(rectOf(all.at(a))));
                for (int b = a + 1; b < all.size(); ++b)
                    QVERIFY2(!rectOf(all.at(a)).intersects(rectOf(all.at(b))),
                             qPrintable(QStringLiteral("%1 covers %2 at a span of %3 s")
                                            .arg(all.at(a)->text(), all.at(b)->text()).arg(span)));
            }
            const auto nearTag = [&view](const std::function<bool(QCPItemTracer *)> &test) {
                const QList<QCPItemTracer *> tags = view.tags();
                return std::any_of(tags.begin(), tags.end(), test);
            };
            for (QCPItemText *label : times)
                QVERIFY(nearTag([label](QCPItemTracer *tag) { return tag->graphKey() == label->position->key(); }));
            for (QCPItemText *label : values)
                QVERIFY(nearTag([label](QCPItemTracer *tag) {
                    return std::abs(tag->position->value() - label->position->value()) <= 0.2;
                }));
            if (apart && span < 1000.0) {
                QCOMPARE(rectOf(times.at(0)).bottom(), rectOf(times.at(1)).bottom());
                QCOMPARE(rectOf(values.at(0)).left(), rectOf(values.at(1)).left());
            }
        }
    }

    // A file that cannot be read leaves no name behind: the warning, an empty
    // name, nothing to add from; closing it goes back to the session.
    void unreadableFileLeavesNoName_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("damaged") << QStringLiteral("damaged");
        QTest::newRow("plain text") << QStringLiteral("text");
        QTest::newRow("a folder") << QStringLiteral("folder");
    }
    void unreadableFileLeavesNoName()
    {
        QFETCH(QString, kind);
        MessageBoxRecorder boxes;
        FileDialogScript files;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unreadable.sqlite"));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(kind == QLatin1String("damaged") ? QByteArray(4096, 'x')
                                                       : QByteArray("created;value\n2026-03-02;-70\n").repeated(40));
        }
        const QString good = dir.filePath(QStringLiteral("good.sqlite"));
        {
            MeasurementFile file(good);
            file.addDevice(4, 41);
            file.addSeries(field(0), 41, Start, 3, [](int) { return 1.0; });
        }
        ReaderRig session(dir.filePath(QStringLiteral("session.sqlite")));
        SQLiteView view(session.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        auto *open = view.findChild<QPushButton *>(QStringLiteral("pbOpen"));
        auto *name = view.findChild<QLabel *>(QStringLiteral("lblDatabaseName"));
        auto *add = view.findChild<QPushButton *>(QStringLiteral("pbAdd"));

        files.answer(path);
        open->click();
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QVERIFY(boxes.last().text.contains(QStringLiteral("unreadable.sqlite")));
        QCOMPARE(name->text(), QString());
        QCOMPARE(name->property("database").toString(), QString());
        QVERIFY(!add->isEnabled());
        QTRY_VERIFY(!view.dialog());

        open->click(); // close
        QCOMPARE(view.mode(), 0);
        QCOMPARE(name->text(), QStringLiteral("Temporary"));
        files.answer(good);
        open->click();
        QCOMPARE(name->text(), QStringLiteral("good.sqlite"));
        QVERIFY(view.dialog());
        QTRY_COMPARE(list(view.dialog(), "lwType")->count(), 1);
        QCOMPARE(name->text(), QStringLiteral("good.sqlite"));
        QCOMPARE(boxes.count(), 1);
        view.dialog()->close();
    }

    void tagsAndScreenshot()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tags.sqlite"));
        {
            MeasurementFile file(path);
            file.addDevice(4, 51);
            file.addDevice(4, 52);
            file.addSeries(field(0), 51, Start, 60, [](int i) { return i == 30 ? QVariant() : QVariant(std::sin(i / 6.0) * 40); });
            file.addSeries(field(1), 51, Start, 60, [](int i) { return QVariant(i - 20.0); });
            file.addSeries(field(0), 52, Start, 60, [](int i) { return QVariant(std::cos(i / 9.0) * 30 + 10); });
        }
        ReaderRig rig(path);
        SQLiteView view(rig.collector);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.resize(1200, 700);
        view.show();
        SQLiteDialog *dialog = openFilledDialog(view, 1);
        QVERIFY(dialog);
        tick(dialog, deviceModelNames.at(4), {"51"}, title(0));
        tick(dialog, deviceModelNames.at(4), {"51"}, title(1));
        tick(dialog, deviceModelNames.at(4), {"52"}, title(0));
        QVERIFY(add(view, dialog, 3));
        dialog->close();

        QCPGraph *gapped = view.plot()->graph(0);
        QCPItemTracer *first = view.addTag(gapped, Start + 20);
        QVERIFY(first);
        // A drag stops before the break at 30.
        view.dragTag(first, Start + 25);
        QCOMPARE(first->graphKey(), double(Start + 25));
        view.dragTag(first, Start + 29);
        QCOMPARE(first->graphKey(), double(Start + 25));
        view.dragTag(first, Start + 31);
        QCOMPARE(first->graphKey(), double(Start + 25));
        QVERIFY(view.addTag(gapped, Start + 10));
        QVERIFY(view.addTag(view.plot()->graph(2), Start + 40));
        QVERIFY(view.addTag(view.plot()->graph(2), Start + 55));
        QCOMPARE(view.tagCount(), 4);
        QVERIFY(!view.addTag(view.plot()->graph(1), Start + 50));
        QCOMPARE(view.tagCount(), 4);
        for (QCPItemTracer *tag : view.tags())
            QVERIFY(tag->property("paired").toInt() > 0);
        view.showFullGraphs();
        view.plot()->replot();
        // The crosshair over the plot with the third graph selected in the tree.
        const QModelIndex third = findGraphRow({4, 52, title(0), {}, {}, {}}, view.graphTree());
        view.graphTree()->selectionModel()->select(third, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(view.plot()->selectedGraphs(), QList<QCPGraph *>{view.plot()->graph(2)});
        plotMove(view.plot(), mouseFor(pixelOf(view.plot(), Start + 33, view.plot()->graph(2)->data()->at(33)->value)));
        view.plot()->replot();
        QVERIFY(view.verticalMarker()->valueLabel()->visible());
        screenshot(&view, QStringLiteral("sqliteview.png"));
        view.removeAllTags();
        QCOMPARE(view.tagCount(), 0);
    }
};

QTEST_MAIN(TestSqliteViewer)
#include "tst_sqliteviewer.moc"
