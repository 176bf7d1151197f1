#include "widgetdevicewritesettings.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {
const QString panelText = QStringLiteral("You can customize device behaviour:<br>");
const QString waitNotice = QStringLiteral(
    "<div style=\"text-align: center; color:green; font-size: x-large; margin-left:20px\">Please wait...</div>");
const QString timeoutNotice = QStringLiteral("<div style=\"text-align: center; color:red; font-size: x-large; "
                                             "margin-left:20px\">Timeout, please try again...</div>");
const QString savedNotice = QStringLiteral("<br><div style=\"text-align: center; font-size:x-large; color: blue; "
                                           "margin-left:20px\">Settings saved!</div>");

struct PanelView
{
    explicit PanelView(WidgetDeviceWriteSettings *panel)
        : label(panel->findChild<QLabel *>(QStringLiteral("description"))),
          bar(panel->findChild<QProgressBar *>(QStringLiteral("progressBar"))),
          button(panel->findChild<QPushButton *>(QStringLiteral("pbWriteSettings")))
    {
    }
    QLabel *label;
    QProgressBar *bar;
    QPushButton *button;
};
} // namespace

class WriteSettingsPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void newPanel()
    {
        WidgetDeviceWriteSettings panel(panelText);
        PanelView view(&panel);
        QVERIFY(view.label && view.bar && view.button);
        QCOMPARE(panel.state(), 0);
        QCOMPARE(view.label->text(), panelText);
        QCOMPARE(view.label->textFormat(), Qt::RichText);
        QCOMPARE(view.button->text(), QStringLiteral("Press to write settings"));
        QVERIFY(!view.button->isEnabled());
        QVERIFY(!view.bar->isEnabled());
        QCOMPARE(view.bar->maximum(), 100);
        QCOMPARE(panel.timeoutSeconds(), 100);
        QCOMPARE(panel.objectName(), QStringLiteral("WidgetDeviceWriteSettings"));
    }

    // Each row: the state held before, the state set, what the label shows
    // afterwards (the notice behind the panel text, or "keep" for the label as
    // it was), the button text and whether the button is active.
    void transitions_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("enabled");
        const QString press = QStringLiteral("Press to write settings");
        const QString keep = QStringLiteral("keep");
        QTest::newRow("written, then re-read") << 2 << 0 << savedNotice << press << false;
        QTest::newRow("edited back to the device's values") << 1 << 0 << keep << press << false;
        QTest::newRow("saved, then re-read") << 4 << 0 << keep << press << false;
        QTest::newRow("edited") << 0 << 1 << keep << press << true;
        QTest::newRow("edited after saved") << 4 << 1 << keep << press << true;
        QTest::newRow("back from a time-out") << 3 << 1 << timeoutNotice << press << true;
        QTest::newRow("writing") << 1 << 2 << waitNotice << QStringLiteral("Writing settings...") << false;
        QTest::newRow("saved") << 2 << 4 << savedNotice << press << false;
        QTest::newRow("saved from clean") << 0 << 4 << savedNotice << press << false;
        QTest::newRow("time-out set from outside") << 1 << 3 << keep << press << true;
        QTest::newRow("unknown state") << 2 << 7 << keep << QStringLiteral("Writing settings...") << false;
    }
    void transitions()
    {
        QFETCH(int, held);
        QFETCH(int, set);
        QFETCH(QString, label);
        QFETCH(QString, button);
        QFETCH(bool, enabled);

        WidgetDeviceWriteSettings panel(panelText);
        PanelView view(&panel);
        // Reach the held state the way the owner would, with a visible notice
        // so that "keep" is told apart from a reset.
        panel.setState(2);
        panel.setState(held);
        const QString before = view.label->text();

        QSignalSpy changed(&panel, &WidgetDeviceWriteSettings::stateChanged);
        panel.setState(set);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), set);
        QCOMPARE(panel.state(), set);
        QCOMPARE(view.label->text(), label == QLatin1String("keep") ? before : panelText + label);
        QCOMPARE(view.button->text(), button);
        QCOMPARE(view.button->isEnabled(), enabled);
    }

    void sameStateAgainStillSignals()
    {
        WidgetDeviceWriteSettings panel(panelText);
        QSignalSpy changed(&panel, &WidgetDeviceWriteSettings::stateChanged);
        panel.setState(0);
        panel.setState(0);
        QCOMPARE(changed.count(), 2);
    }

    void buttonAsksForTheWrite()
    {
        WidgetDeviceWriteSettings panel(panelText);
        PanelView view(&panel);
        QSignalSpy write(&panel, &WidgetDeviceWriteSettings::write);
        panel.setState(1);
        QTest::mouseClick(view.button, Qt::LeftButton);
        QCOMPARE(write.count(), 1);
    }

    void writeRunsOutOfTime()
    {
        WidgetDeviceWriteSettings panel(panelText);
        PanelView view(&panel);
        panel.setTickInterval(5);
        panel.setMaximum(3);
        panel.setState(1);
        panel.setState(2);
        QVERIFY(view.bar->isEnabled());
        QSignalSpy changed(&panel, &WidgetDeviceWriteSettings::stateChanged);
        QSignalSpy timedOut(&panel, &WidgetDeviceWriteSettings::timeout);
        QVERIFY(changed.wait(2000));
        QCOMPARE(timedOut.count(), 1);
        QCOMPARE(changed.count(), 1); // 1 only: the brief 3 is not announced
        QCOMPARE(changed.at(0).at(0).toInt(), 1);
        QCOMPARE(view.label->text(), panelText + timeoutNotice);
        QVERIFY(view.button->isEnabled());
        QCOMPARE(view.bar->value(), 0);
        QVERIFY(!view.bar->isEnabled());

        // Writing again counts from 0 to the maximum again.
        panel.setState(2);
        QCOMPARE(view.bar->value(), 0);
        QVERIFY(timedOut.wait(2000));
        QCOMPARE(timedOut.count(), 2);
    }

    void textDuringAWriteDropsTheNotice()
    {
        WidgetDeviceWriteSettings panel(panelText);
        PanelView view(&panel);
        panel.setTickInterval(5);
        panel.setState(2);
        panel.setText(QStringLiteral("other"));
        QCOMPARE(view.label->text(), QStringLiteral("other"));
        QCOMPARE(panel.state(), 2);
        QTRY_VERIFY(view.bar->value() >= 2); // the count goes on
    }

    void timeoutAndMaximum()
    {
        WidgetDeviceWriteSettings panel(panelText);
        panel.setTimeout(60);
        QCOMPARE(panel.maximum(), 60);
        panel.setTimeout(30);
        QCOMPARE(panel.maximum(), 30);

        WidgetDeviceWriteSettings own(panelText);
        own.setMaximum(20);
        own.setTimeout(60);
        QCOMPARE(own.maximum(), 20);
        QCOMPARE(own.timeoutSeconds(), 60);
    }
};

QTEST_MAIN(WriteSettingsPanelTest)
#include "tst_writesettingspanel.moc"
