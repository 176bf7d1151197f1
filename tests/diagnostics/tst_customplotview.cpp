// The generic plot view: its form, the owner's callbacks, Start and Stop with
// the break they leave, the graph list with "Select all", pen editing from
// the list, the value axes, and the export byte for byte.
#include "customplotview.h"
#include "plotcrosshair.h"
#include "plotfixture.h"
#include "qpeneditor.h"
#include "settings.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

constexpr qint64 Now0 = 1700000000000; // 2023-11-15 01:13:20 in the test zone

// A view with three graphs (the last on the right axis) and counting callbacks.
struct View
{
    View() : clock(Now0)
    {
        view.resize(1440, 775);
        view.initPlot(-100.0, 0.0, QStringLiteral("dBm"), QStringLiteral("RF offset"));
        view.setStartCallback([this] { ++starts; });
        view.setStopCallback([this] { ++stops; });
        view.setTickCallback([this] { ++ticks; });
        view.addGraph(QStringLiteral("A"), QPen(QColor(255, 50, 50)), QStringLiteral("made A"), true);
        view.addGraph(QStringLiteral("B"), QPen(QColor(50, 200, 50)), QStringLiteral("made B"), true);
        view.addGraph(QStringLiteral("C"), QPen(QColor(120, 120, 50)), QStringLiteral("made C"), false);
        view.show();
    }

    QListWidget *list() { return child<QListWidget>(&view, "lwGraphList"); }
    QCheckBox *selectAll() { return child<QCheckBox>(&view, "cbSelectAll"); }
    QPushButton *button(const char *name) { return child<QPushButton>(&view, name); }
    QAction *action(const QString &text)
    {
        for (QAction *a : list()->actions())
            if (a->text() == text)
                return a;
        qFatal("no action %s", qPrintable(text));
        return nullptr;
    }
    void setChecked(int row, bool checked) { list()->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked); }

    PlotClockScope clock;
    CustomPlotView view;
    int starts = 0;
    int stops = 0;
    int ticks = 0;
};

} // namespace

class CustomPlotViewTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestResources(); }

    void formAndGraphs()
    {
        CustomPlotView bare;
        QCOMPARE(bare.windowTitle(), QStringLiteral("CustomPlotView"));
        QCOMPARE(child<QLabel>(&bare, "lblTested")->text(), QStringLiteral("Неизвестно"));
        QCOMPARE(child<QSpinBox>(&bare, "sbInterval")->value(), 100);
        QVERIFY(!child<QPushButton>(&bare, "pbStop")->isEnabled());
        QVERIFY(!child<QPushButton>(&bare, "pbEdit")->isEnabled());
        QVERIFY(child<QCheckBox>(&bare, "cbSelectAll")->isChecked());
        QVERIFY(!child<QSpinBox>(&bare, "sbGraphCount")->isEnabled());
        for (const char *name : {"pbStart", "pbStop", "pbClearTracers", "pbSave", "pbClear"})
            QCOMPARE(child<QPushButton>(&bare, name)->minimumSize(), QSize(120, 30));

        View v;
        v.view.setTestedText(QStringLiteral("   18. Smoke detector"));
        QCOMPARE(child<QLabel>(&v.view, "lblTested")->text(), QStringLiteral("   18. Smoke detector"));
        QCOMPARE(child<QSpinBox>(&v.view, "sbGraphCount")->value(), 3);
        QCOMPARE(v.list()->count(), 3);
        QCOMPARE(v.list()->item(2)->text(), QStringLiteral("C"));
        QCOMPARE(v.list()->item(2)->checkState(), Qt::Checked);
        QCOMPARE(v.list()->item(2)->data(Qt::UserRole).toString(), QStringLiteral("made C"));
        QCOMPARE(v.list()->item(0)->foreground().color(), QColor(255, 50, 50));
        QCustomPlot *plot = v.view.plot();
        QCOMPARE(plot->graph(2)->valueAxis(), plot->yAxis2);
        QCOMPARE(plot->graph(0)->valueAxis(), plot->yAxis);
        QVERIFY(plot->yAxis2->visible());
        QCOMPARE(plot->yAxis2->label(), QStringLiteral("RF offset"));
        QCOMPARE(plot->yAxis2->range(), QCPRange(-100.0, 0.0));
        QCOMPARE(plot->xAxis->range(), QCPRange(Now0 / 1000.0 - 59.0, Now0 / 1000.0 + 1.0));

        // Points go to their graph; each value axis grows by itself.
        v.view.addData(0, Now0 / 1000.0, 20.0);
        v.view.addData(2, Now0 / 1000.0, -110.0);
        QCOMPARE(plot->graph(0)->dataCount(), 1);
        QCOMPARE(plot->yAxis->range(), QCPRange(-100.0, 22.0));
        QCOMPARE(plot->yAxis2->range().lower, -121.0);
        QCOMPARE(plot->yAxis2->range().upper, 0.0);
    }

    void startStopAndTheBreak()
    {
        {
            // Start needs a graph.
            CustomPlotView empty;
            int starts = 0;
            empty.initPlot(-100.0, 0.0, QStringLiteral("dBm"), QString());
            empty.setStartCallback([&starts] { ++starts; });
            empty.start();
            QCOMPARE(starts, 0);
            QVERIFY(!empty.isPlotting());
            QVERIFY(!empty.plot()->yAxis2->visible());
        }
        View v;
        v.view.start();
        QCOMPARE(v.starts, 1);
        QVERIFY(v.view.isPlotting());
        QVERIFY(!v.button("pbStart")->isEnabled());
        QVERIFY(!child<QSpinBox>(&v.view, "sbInterval")->isEnabled());
        QTRY_VERIFY(v.ticks >= 2); // every 100 ms
        v.view.start();
        QCOMPARE(v.starts, 1);

        v.view.addData(0, Now0 / 1000.0, -50.0);
        v.clock.advance(2000);
        v.view.stop();
        QCOMPARE(v.stops, 1);
        QVERIFY(!v.view.timersRunning());
        for (int g = 0; g < 3; ++g) {
            const QCPGraph *graph = v.view.plot()->graph(g);
            const auto last = graph->data()->constEnd() - 1;
            QCOMPARE(last->key, (Now0 + 2000) / 1000.0);
            QVERIFY(std::isnan(last->value));
        }
        // Stop then Start: the next points do not join the old ones.
        v.clock.advance(2000);
        v.view.start();
        v.view.addData(0, (Now0 + 4000) / 1000.0, -40.0);
        const QCPGraph *a = v.view.plot()->graph(0);
        QCOMPARE(a->dataCount(), 3);
        QVERIFY(std::isnan(a->data()->at(1)->value));
        QCOMPARE(v.starts, 2);
    }

    void graphListAndSelectAll()
    {
        View v;
        QCustomPlot *plot = v.view.plot();
        for (int row = 0; row < 3; ++row)
            v.setChecked(row, false);
        QCOMPARE(v.selectAll()->checkState(), Qt::Unchecked);
        QVERIFY(!plot->graph(1)->visible());
        v.setChecked(1, true);
        QCOMPARE(v.selectAll()->checkState(), Qt::PartiallyChecked);
        QVERIFY(plot->graph(1)->visible() && !plot->graph(0)->visible());

        // A click on the partial box checks everything; the next one clears it.
        v.selectAll()->click();
        QCOMPARE(v.selectAll()->checkState(), Qt::Checked);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(v.list()->item(row)->checkState(), Qt::Checked);
        v.selectAll()->click();
        QCOMPARE(v.selectAll()->checkState(), Qt::Unchecked);
        QVERIFY(!plot->graph(2)->visible());

        // The context menu's "Select all": off unchecks, on checks and starts.
        QAction *all = v.action(QStringLiteral("Select all"));
        QVERIFY(all->isChecked());
        all->setChecked(false);
        QCOMPARE(v.starts, 0);
        all->setChecked(true);
        QCOMPARE(v.selectAll()->checkState(), Qt::Checked);
        QVERIFY(plot->graph(0)->visible());
        QCOMPARE(v.starts, 1);
        QVERIFY(v.view.isPlotting());
    }

    // A press on a graph selects its list entry; the entry's graph is then
    // the selected one and the editor opened from the list restyles it.
    void pressSelectsAndPenEditing()
    {
        View v;
        QCustomPlot *plot = v.view.plot();
        QVector<double> keys, values;
        for (int i = -59; i <= 1; ++i) {
            keys << Now0 / 1000.0 + i;
            values << -30.0;
        }
        plot->graph(1)->setData(keys, values);
        plot->replot();
        const QPoint onB = mouseFor(pixelOf(plot, Now0 / 1000.0 - 20.0, -30.0));
        plotMove(plot, onB);
        plotMouse(plot, QEvent::MouseButtonPress, onB, Qt::LeftButton);
        plotMouse(plot, QEvent::MouseButtonRelease, onB, Qt::LeftButton);
        QCOMPARE(v.list()->selectedItems(), QList<QListWidgetItem *>{v.list()->item(1)});
        QVERIFY(v.button("pbEdit")->isEnabled());
        QCOMPARE(plot->selectedGraphs(), QList<QCPGraph *>{plot->graph(1)});
        plotMove(plot, onB + QPoint(0, 30));
        QCOMPARE(v.view.crosshair()->verticalMarker()->valueLabel()->text(), QStringLiteral("-30.00"));

        // Pressing elsewhere clears the selection.
        plotMouse(plot, QEvent::MouseButtonPress, onB + QPoint(0, 80), Qt::LeftButton);
        plotMouse(plot, QEvent::MouseButtonRelease, onB + QPoint(0, 80), Qt::LeftButton);
        QVERIFY(v.list()->selectedItems().isEmpty());
        QVERIFY(!v.button("pbEdit")->isEnabled());

        QSignalSpy updated(&v.view, &CustomPlotView::graphPenUpdated);
        v.list()->setCurrentRow(1);
        v.button("pbEdit")->click();
        QPointer<QPenEditor> editor;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<QPenEditor *>(w))
                editor = e;
        QVERIFY(editor);
        QCOMPARE(editor->pen().color(), QColor(50, 200, 50));
        child<QSlider>(editor, "slider")->setValue(6);
        child<QPushButton>(editor, "pbCommit")->click();
        QCOMPARE(updated.size(), 1);
        QCOMPARE(updated.first().at(0).toString(), QStringLiteral("B"));
        QCOMPARE(plot->graph(1)->pen().width(), 6);
        QTRY_VERIFY(!editor);
        // The list keeps its check states and its reactions.
        QCOMPARE(v.list()->item(1)->checkState(), Qt::Checked);
        v.setChecked(1, false);
        QVERIFY(!plot->graph(1)->visible());
    }

    // Graph 0 drives the rows; a shorter graph and a break give empty
    // fields; numbers in the Russian format whatever the interface language.
    void exportFile()
    {
        QTemporaryDir folder;
        appSettings.setValue(QLatin1String(SettingsKey::LastRssiLogsPath), folder.path());
        View v;
        const double t0 = Now0 / 1000.0;
        v.view.addData(0, t0, 1.5);
        v.view.addData(1, t0, -70.0);
        v.view.addData(2, t0, 3.0);
        v.view.addData(0, t0 + 0.25, 1234.5);
        v.view.addData(1, t0 + 0.25, -1000000.0);
        v.view.addData(0, t0 + 1.0, -0.004);
        v.view.start();
        v.clock.advance(1500);
        v.view.stop();

        FileDialogScript files;
        files.answer(folder.filePath(QStringLiteral("plot.csv")));
        v.button("pbSave")->click();
        QCOMPARE(files.requests().first().directory, folder.path() + QStringLiteral("/dBm - 15.11.2023 01.13.csv"));
        QFile written(folder.filePath(QStringLiteral("plot.csv")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QFile golden(QStringLiteral(TANDREL_DIAGNOSTICS_DATA "/plot.csv"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), golden.readAll());
    }

    void closeStopsTheTimers()
    {
        View v;
        v.view.start();
        QTRY_VERIFY(v.ticks >= 1);
        v.view.close();
        QVERIFY(!v.view.timersRunning());
        // Checking a graph while plotting starts them again.
        v.setChecked(0, false);
        v.setChecked(0, true);
        QVERIFY(v.view.timersRunning());
    }
};

QTEST_MAIN(CustomPlotViewTest)
#include "tst_customplotview.moc"
