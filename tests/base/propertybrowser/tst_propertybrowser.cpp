// The tree browser with real editors, offscreen: user edits through the
// editors, rows that follow run-time changes, read-only rows, and properties
// and factories that go away while shown.
#include "qteditorfactory.h"
#include "qttreepropertybrowser.h"
#include "resources.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QColor AlarmColor(255, 180, 180);
const QColor FaultColor(255, 234, 173);
const QColor EditableColor(196, 196, 255);

// A device-like tree with a property of every kind, shown in a browser whose
// editable managers have their factories.
struct Fixture
{
    Fixture()
    {
        browser.resize(420, 460);
        browser.setFactoryForManager(&enums, &enumFactory);
        browser.setFactoryForManager(&ints, &spinFactory);
        browser.setFactoryForManager(&doubles, &doubleFactory);
        browser.setFactoryForManager(&bools, &checkFactory);

        const QIcon pencil(QStringLiteral(":/icons/images/icons/pencil.png"));
        type = readOnlyEnums.addProperty(QStringLiteral("WD Type"));
        readOnlyEnums.setEnumNames(type, {QStringLiteral("Hub"), QStringLiteral("Smoke detector")});
        readOnlyEnums.setValue(type, 1);
        serial = strings.addProperty(QStringLiteral("S/N"));
        strings.setValue(serial, QStringLiteral("0001234567"));
        address = strings.addProperty(QStringLiteral("Wireloop address"));
        strings.setValue(address, QStringLiteral("12, 13"));

        status = groups.addProperty(QStringLiteral("Status"));
        caseState = readOnlyEnums.addProperty(QStringLiteral("Case"));
        readOnlyEnums.setEnumNames(caseState, {QStringLiteral("Opened"), QStringLiteral("Closed")});
        battery = readOnlyEnums.addProperty(QStringLiteral("Main battery state"));
        readOnlyEnums.setEnumNames(battery,
                                   {QStringLiteral("Not inserted"), QStringLiteral("Low"), QStringLiteral("Good")});
        readOnlyEnums.setValue(battery, 1);
        led = readOnlyBools.addProperty(QStringLiteral("LED"));
        readOnlyBools.setValue(led, true);
        status->addSubProperty(caseState);
        status->addSubProperty(battery);
        status->addSubProperty(led);

        settings = groups.addProperty(QStringLiteral("Settings"));
        sensitivity = enums.addProperty(QStringLiteral("Sensitivity"));
        enums.setEnumNames(sensitivity, {QStringLiteral("High"), QStringLiteral("Middle"), QStringLiteral("Low")});
        enums.setEnumIcons(sensitivity, {{0, pencil}, {1, pencil}, {2, pencil}});
        threshold = ints.addProperty(QStringLiteral("Daytime fire threshold"));
        ints.setRange(threshold, 80, 120);
        ints.setSingleStep(threshold, 5);
        nightThreshold = ints.addProperty(QStringLiteral("Night fire threshold"));
        ints.setRange(nightThreshold, 80, 120);
        interval = doubles.addProperty(QStringLiteral("Interval"));
        doubles.setRange(interval, 0.5, 60.0);
        doubles.setDecimals(interval, 1);
        doubles.setValue(interval, 2.5);
        cable = bools.addProperty(QStringLiteral("Cable"));
        for (QtProperty *p : {sensitivity, threshold, nightThreshold, interval, cable})
            settings->addSubProperty(p);

        for (QtProperty *p : {type, serial, address, status, settings})
            browser.addProperty(p);
    }

    QtBrowserItem *row(QtProperty *p) const
    {
        const QList<QtBrowserItem *> items = browser.items(p);
        return items.isEmpty() ? nullptr : items.constFirst();
    }
    QTreeWidgetItem *treeRow(QtProperty *p) const { return browser.rowOfItem(row(p)); }
    QTreeWidget *tree() const { return browser.treeWidget(); }

    // The one editor open in the tree, if any.
    QWidget *openEditor() const
    {
        QWidget *found = nullptr;
        const auto children = tree()->viewport()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget *child : children) {
            if (child->isVisible())
                found = child;
        }
        return found;
    }
    template <class Editor>
    Editor *edit(QtProperty *p)
    {
        browser.editItem(row(p));
        return qobject_cast<Editor *>(openEditor());
    }

    QStringList rowTexts(QtProperty *parent) const
    {
        QStringList texts;
        QTreeWidgetItem *r = treeRow(parent);
        for (int i = 0; r && i < r->childCount(); ++i)
            texts << r->child(i)->text(0);
        return texts;
    }

    // Destroyed in reverse order: managers go before the browser.
    QtTreePropertyBrowser browser;
    QtEnumEditorFactory enumFactory;
    QtSpinBoxFactory spinFactory;
    QtDoubleSpinBoxFactory doubleFactory;
    QtCheckBoxFactory checkFactory;
    QtGroupPropertyManager groups;
    QtStringPropertyManager strings;
    QtEnumPropertyManager readOnlyEnums;
    QtBoolPropertyManager readOnlyBools;
    QtEnumPropertyManager enums;
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtBoolPropertyManager bools;

    QtProperty *type, *serial, *address, *status, *caseState, *battery, *led;
    QtProperty *settings, *sensitivity, *threshold, *nightThreshold, *interval, *cable;
};

// Records what an editable manager reports, and whether each report was
// marked as the user's edit.
struct Reports
{
    QList<QVariant> changed;
    QList<QVariant> edited;
    QList<bool> userEditDuringChange;
    QList<bool> userEditDuringShown;

    template <class Manager, class Value>
    void watch(Manager *manager)
    {
        QObject::connect(manager, &QtAbstractPropertyManager::propertyChanged, manager,
                         [=] { userEditDuringShown << manager->isUserEdit(); });
        QObject::connect(manager, &Manager::valueChanged, manager, [=](QtProperty *, Value v) {
            changed << QVariant::fromValue(v);
            userEditDuringChange << manager->isUserEdit();
        });
        QObject::connect(manager, &Manager::valueEdited, manager,
                         [=](QtProperty *, Value v) { edited << QVariant::fromValue(v); });
    }
};

enum Kind { Int, Double, Enum, Bool };

} // namespace

class PropertyBrowserTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Fixture> f;

    // Makes the user's change in the open editor of the property, the way a
    // technician would, and returns the value it should give.
    QVariant userChange(Kind kind, QtProperty *p, bool sameValue)
    {
        switch (kind) {
        case Int: {
            auto *spin = f->edit<QSpinBox>(p);
            if (!spin)
                return {};
            const int target = sameValue ? spin->value() : 95;
            spin->findChild<QLineEdit *>()->selectAll();
            QTest::keyClicks(spin->findChild<QLineEdit *>(), QString::number(target));
            QTest::keyClick(spin->findChild<QLineEdit *>(), Qt::Key_Return);
            return target;
        }
        case Double: {
            auto *spin = f->edit<QDoubleSpinBox>(p);
            if (!spin)
                return {};
            const double target = sameValue ? spin->value() : 7.5;
            spin->findChild<QLineEdit *>()->selectAll();
            QTest::keyClicks(spin->findChild<QLineEdit *>(), QString::number(target));
            QTest::keyClick(spin->findChild<QLineEdit *>(), Qt::Key_Return);
            return target;
        }
        case Enum: {
            auto *combo = f->edit<QComboBox>(p);
            if (!combo)
                return {};
            if (sameValue) {
                combo->setCurrentIndex(combo->currentIndex());
                return combo->currentIndex();
            }
            QTest::keyClick(combo, Qt::Key_Down);
            return combo->currentIndex();
        }
        case Bool: {
            auto *check = f->edit<QCheckBox>(p);
            if (!check)
                return {};
            if (sameValue) {
                check->setChecked(check->isChecked());
                return check->isChecked();
            }
            QTest::keyClick(check, Qt::Key_Space);
            return check->isChecked();
        }
        }
        return {};
    }

    QtProperty *propertyOf(Kind kind) const
    {
        switch (kind) {
        case Int: return f->threshold;
        case Double: return f->interval;
        case Enum: return f->sensitivity;
        case Bool: return f->cable;
        }
        return nullptr;
    }

    void watch(Kind kind, Reports &reports)
    {
        switch (kind) {
        case Int: reports.watch<QtIntPropertyManager, int>(&f->ints); break;
        case Double: reports.watch<QtDoublePropertyManager, double>(&f->doubles); break;
        case Enum: reports.watch<QtEnumPropertyManager, int>(&f->enums); break;
        case Bool: reports.watch<QtBoolPropertyManager, bool>(&f->bools); break;
        }
    }

    void setProgrammatically(Kind kind, QtProperty *p)
    {
        switch (kind) {
        case Int: f->ints.setValue(p, 110); break;
        case Double: f->doubles.setValue(p, 30.0); break;
        case Enum: f->enums.setValue(p, 2); break;
        case Bool: f->bools.setValue(p, !f->bools.value(p)); break;
        }
    }

    // What the open editor shows, as a variant.
    QVariant editorValue(Kind kind) const
    {
        QWidget *w = f->openEditor();
        switch (kind) {
        case Int: return qobject_cast<QSpinBox *>(w) ? QVariant(qobject_cast<QSpinBox *>(w)->value()) : QVariant();
        case Double:
            return qobject_cast<QDoubleSpinBox *>(w) ? QVariant(qobject_cast<QDoubleSpinBox *>(w)->value())
                                                     : QVariant();
        case Enum:
            return qobject_cast<QComboBox *>(w) ? QVariant(qobject_cast<QComboBox *>(w)->currentIndex()) : QVariant();
        case Bool:
            return qobject_cast<QCheckBox *>(w) ? QVariant(qobject_cast<QCheckBox *>(w)->isChecked()) : QVariant();
        }
        return {};
    }

private slots:
    void initTestCase() { initTandrelResources(); }

    void init()
    {
        f = std::make_unique<Fixture>();
        f->browser.show();
        QApplication::setActiveWindow(&f->browser);
        QVERIFY(QTest::qWaitForWindowActive(&f->browser));
    }

    void cleanup() { f.reset(); }

    void editorsCommitUserEdits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("int spin box") << int(Int);
        QTest::newRow("double spin box") << int(Double);
        QTest::newRow("enum combo box") << int(Enum);
        QTest::newRow("bool check box") << int(Bool);
    }

    void editorsCommitUserEdits()
    {
        QFETCH(int, kind);
        const Kind k = Kind(kind);
        QtProperty *p = propertyOf(k);
        Reports reports;
        watch(k, reports);

        // A real change through the editor: one report, marked as the user's.
        // Enter closes a spin box; a combo or check box stays open.
        const QVariant target = userChange(k, p, false);
        QVERIFY(target.isValid());
        QCOMPARE(reports.changed, QList<QVariant>{target});
        QCOMPARE(reports.edited, QList<QVariant>{target});
        QCOMPARE(reports.userEditDuringChange, QList<bool>{true});
        QCOMPARE(reports.userEditDuringShown, QList<bool>{true});
        QVERIFY(!p->propertyManager()->isUserEdit());
        QCOMPARE(f->treeRow(p)->text(1), p->valueText());
        if (k == Int || k == Double)
            QTRY_VERIFY(!f->openEditor());

        // The same value again through the editor: nothing.
        QVERIFY(userChange(k, p, true).isValid());
        QCOMPARE(reports.changed.size(), 1);
        QCOMPARE(reports.edited.size(), 1);
        if (k == Int || k == Double)
            QTRY_VERIFY(!f->openEditor());

        // A programmatic change while the editor is open: the editor follows,
        // and it is not a user edit.
        if (!f->openEditor())
            f->browser.editItem(f->row(p));
        QVERIFY(f->openEditor());
        setProgrammatically(k, p);
        QCOMPARE(reports.changed.size(), 2);
        QCOMPARE(reports.edited.size(), 1);
        QCOMPARE(reports.userEditDuringChange.constLast(), false);
        QCOMPARE(editorValue(k), reports.changed.constLast());
    }

    void userEditHandlersMayChangeOtherValues()
    {
        // A handler of the user's change sets another value of the same
        // manager: that one is not the user's edit.
        QList<QPair<QtProperty *, bool>> seen;
        connect(&f->ints, &QtIntPropertyManager::valueChanged, this, [this, &seen](QtProperty *p, int v) {
            seen.append({p, f->ints.isUserEdit()});
            if (p == f->threshold)
                f->ints.setValue(f->nightThreshold, v);
            QCOMPARE(f->ints.isUserEdit(), p == f->threshold);
        });
        QSignalSpy edited(&f->ints, &QtIntPropertyManager::valueEdited);
        QVERIFY(userChange(Int, f->threshold, false).isValid());
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.at(0), qMakePair(f->threshold, true));
        QCOMPARE(seen.at(1), qMakePair(f->nightThreshold, false));
        QCOMPARE(edited.count(), 1);
        QCOMPARE(f->ints.value(f->nightThreshold), 95);
    }

    void clicksOpenEditorsOnlyWhereEditable()
    {
        QTreeWidget *tree = f->tree();
        const auto click = [tree](QTreeWidgetItem *row, int column) {
            const QRect rect = tree->visualItemRect(row);
            const int x = tree->header()->sectionPosition(column) + 20;
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(x, rect.center().y()));
        };
        click(f->treeRow(f->threshold), 1);
        QTRY_VERIFY(qobject_cast<QSpinBox *>(f->openEditor()));
        click(f->treeRow(f->sensitivity), 1);
        QTRY_VERIFY(qobject_cast<QComboBox *>(f->openEditor()));
        // Read-only rows and group rows open nothing.
        click(f->treeRow(f->serial), 1);
        QTRY_VERIFY(!f->openEditor());
        QCOMPARE(f->browser.currentItem(), f->row(f->serial));
        click(f->treeRow(f->caseState), 1);
        click(f->treeRow(f->settings), 1);
        QVERIFY(!f->openEditor());
        // A double click on the name edits the value.
        const QRect rect = tree->visualItemRect(f->treeRow(f->interval));
        const int nameX = tree->header()->sectionPosition(0) + 2 * tree->indentation() + 10;
        // As a real double click: press and release, then the double click.
        const QPoint name(nameX, rect.center().y());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, name);
        QVERIFY(!f->openEditor());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, name);
        QTRY_VERIFY(qobject_cast<QDoubleSpinBox *>(f->openEditor()));
    }

    void rowsFollowRunTimeChanges()
    {
        QComboBox *combo = f->edit<QComboBox>(f->sensitivity);
        QVERIFY(combo);
        f->sensitivity->setPropertyName(QStringLiteral("Sensitivity (near)"));
        f->sensitivity->setToolTip(QStringLiteral("Near zone"));
        f->enums.setEnumNames(f->sensitivity, {QStringLiteral("High"), QStringLiteral("Low")});
        f->enums.setValue(f->sensitivity, 1);
        QTreeWidgetItem *row = f->treeRow(f->sensitivity);
        QCOMPARE(row->text(0), QStringLiteral("Sensitivity (near)"));
        QCOMPARE(row->toolTip(0), QStringLiteral("Near zone"));
        QCOMPARE(row->text(1), QStringLiteral("Low"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentText(), QStringLiteral("Low"));

        f->doubles.setDecimals(f->interval, 3);
        QCOMPARE(f->treeRow(f->interval)->text(1), QStringLiteral("2.500"));
        QCOMPARE(f->treeRow(f->settings)->text(1), QString()); // groups show no value
        QVERIFY(!f->treeRow(f->led)->icon(1).isNull());         // bools show a check box
    }

    void subPropertiesChangeWhileShown()
    {
        QtProperty *voltage = f->strings.addProperty(QStringLiteral("Main battery voltage"));
        f->strings.setValue(voltage, QStringLiteral("3.10 V"));
        f->status->insertSubProperty(voltage, f->battery);
        QCOMPARE(f->rowTexts(f->status),
                 (QStringList{"Case", "Main battery state", "Main battery voltage", "LED"}));
        QCOMPARE(f->treeRow(voltage)->text(1), QStringLiteral("3.10 V"));

        f->status->removeSubProperty(f->caseState);
        f->status->removeSubProperty(voltage);
        QCOMPARE(f->rowTexts(f->status), (QStringList{"Main battery state", "LED"}));
        QVERIFY(f->browser.items(voltage).isEmpty());

        // A group with its own sub-properties added later gets all its rows.
        QtProperty *zone = f->groups.addProperty(QStringLiteral("Zone 1"));
        zone->addSubProperty(f->caseState);
        f->settings->addSubProperty(zone);
        QTreeWidgetItem *zoneRow = f->treeRow(zone);
        QVERIFY(zoneRow);
        QCOMPARE(zoneRow->childCount(), 1);
        QVERIFY(zoneRow->isExpanded());

        // One property shown in two places has two rows; a change shows in both.
        f->browser.addProperty(f->caseState);
        QCOMPARE(f->browser.items(f->caseState).size(), 2);
        f->readOnlyEnums.setValue(f->caseState, 1);
        for (QtBrowserItem *item : f->browser.items(f->caseState))
            QCOMPARE(f->browser.rowOfItem(item)->text(1), QStringLiteral("Closed"));
        QCOMPARE(f->browser.topLevelItem(f->caseState), f->browser.topLevelItems().constLast());
        QVERIFY(!f->browser.addProperty(f->caseState));

        // Top-level insertion after a given property, and removal.
        f->browser.insertProperty(voltage, f->serial);
        QCOMPARE(f->tree()->topLevelItem(2)->text(0), QStringLiteral("Main battery voltage"));
        f->browser.removeProperty(voltage);
        QCOMPARE(f->tree()->topLevelItem(2)->text(0), QStringLiteral("Wireloop address"));
    }

    void expandAndCollapse()
    {
        QtBrowserItem *settings = f->row(f->settings);
        QVERIFY(f->browser.isExpanded(settings));
        QSignalSpy collapsed(&f->browser, &QtTreePropertyBrowser::collapsed);
        f->browser.setExpanded(settings, false);
        QVERIFY(!f->browser.isExpanded(settings));
        QCOMPARE(collapsed.count(), 1);
        QCOMPARE(collapsed.constFirst().at(0).value<QtBrowserItem *>(), settings);
        f->browser.setExpanded(settings, true);
        QVERIFY(f->browser.isExpanded(settings));

        // Groups shown while still empty: new ones open when they get
        // sub-properties, one collapsed on purpose stays collapsed.
        QtProperty *open = f->groups.addProperty(QStringLiteral("Input 1"));
        QtProperty *closed = f->groups.addProperty(QStringLiteral("Input 2"));
        f->browser.addProperty(open);
        f->browser.addProperty(closed);
        f->browser.setExpanded(f->row(closed), false);
        open->addSubProperty(f->strings.addProperty(QStringLiteral("Counter")));
        closed->addSubProperty(f->strings.addProperty(QStringLiteral("Counter")));
        QVERIFY(f->treeRow(open)->isExpanded());
        QVERIFY(!f->treeRow(closed)->isExpanded());
    }

    void modifiedBoldDisabledGrey()
    {
        f->threshold->setModified(true);
        QVERIFY(f->treeRow(f->threshold)->font(0).bold());
        QVERIFY(f->treeRow(f->threshold)->font(1).bold());
        QVERIFY(!f->treeRow(f->nightThreshold)->font(0).bold());
        f->threshold->setModified(false);
        QVERIFY(!f->treeRow(f->threshold)->font(0).bold());

        // Disabling a group greys it and every row under it; none edits.
        const QColor grey = f->browser.palette().color(QPalette::Disabled, QPalette::Text);
        QVERIFY(f->edit<QSpinBox>(f->threshold));
        f->settings->setEnabled(false);
        QTRY_VERIFY(!f->openEditor());
        for (QtProperty *p : {f->settings, f->sensitivity, f->threshold, f->cable}) {
            QCOMPARE(f->treeRow(p)->foreground(0).color(), grey);
            QVERIFY(!f->browser.isItemEditable(f->row(p)));
        }
        f->browser.editItem(f->row(f->threshold));
        QVERIFY(!f->openEditor());

        f->settings->setEnabled(true);
        f->cable->setEnabled(false);
        QVERIFY(f->browser.isItemEditable(f->row(f->threshold)));
        QCOMPARE(f->treeRow(f->threshold)->data(0, Qt::ForegroundRole), QVariant());
        QVERIFY(!f->browser.isItemEditable(f->row(f->cable)));
        QVERIFY(f->edit<QSpinBox>(f->threshold));
    }

    void backgroundColourPerRow()
    {
        f->browser.setAlternatingRowColors(false);
        f->browser.setBackgroundColor(f->row(f->caseState), AlarmColor);
        f->browser.setBackgroundColor(f->row(f->battery), FaultColor);
        QCOMPARE(f->browser.backgroundColor(f->row(f->caseState)), AlarmColor);
        QVERIFY(!f->browser.backgroundColor(f->row(f->led)).isValid());

        // The colour is what the row really shows, in both columns.
        const QImage shot = f->tree()->viewport()->grab().toImage();
        const auto pixel = [&](QtProperty *p, int column) {
            const QRect rect = f->tree()->visualItemRect(f->treeRow(p));
            const int x = f->tree()->header()->sectionPosition(column) + f->tree()->header()->sectionSize(column) - 4;
            return shot.pixelColor(x * shot.width() / f->tree()->viewport()->width(),
                                   (rect.top() + 3) * shot.height() / f->tree()->viewport()->height());
        };
        QCOMPARE(pixel(f->caseState, 0), AlarmColor);
        QCOMPARE(pixel(f->caseState, 1), AlarmColor);
        QCOMPARE(pixel(f->battery, 1), FaultColor);
        QVERIFY(pixel(f->led, 1) != AlarmColor);

        f->browser.setBackgroundColor(f->row(f->caseState), QColor());
        QVERIFY(!f->browser.backgroundColor(f->row(f->caseState)).isValid());
        QCOMPARE(f->treeRow(f->caseState)->data(1, Qt::BackgroundRole), QVariant());
    }

    void detachedFactoryMakesRowsReadOnly()
    {
        // A second browser shares the spin box factory.
        QtTreePropertyBrowser other;
        other.setFactoryForManager(&f->ints, &f->spinFactory);
        other.addProperty(f->settings);

        QVERIFY(f->edit<QSpinBox>(f->threshold));
        f->browser.unsetFactoryForManager(&f->ints);
        QTRY_VERIFY(!f->openEditor());
        QVERIFY(!f->browser.isItemEditable(f->row(f->threshold)));
        f->browser.editItem(f->row(f->threshold));
        QVERIFY(!f->openEditor());
        QVERIFY(f->browser.isItemEditable(f->row(f->sensitivity)));
        QVERIFY(other.isItemEditable(other.items(f->threshold).constFirst()));
        QVERIFY(std::unique_ptr<QWidget>(f->spinFactory.createEditor(f->threshold, nullptr)));

        // Reattached, it edits again; a factory that goes away leaves its rows read-only.
        f->browser.setFactoryForManager(&f->ints, &f->spinFactory);
        QVERIFY(f->edit<QSpinBox>(f->threshold));
        auto checkFactory = std::make_unique<QtCheckBoxFactory>();
        f->browser.setFactoryForManager(&f->bools, checkFactory.get());
        QVERIFY(f->edit<QCheckBox>(f->cable));
        checkFactory.reset();
        QTRY_VERIFY(!f->openEditor());
        QVERIFY(!f->browser.isItemEditable(f->row(f->cable)));
        QVERIFY(!f->browser.factoryForManager(&f->bools));
    }

    void factoryEditorsOutsideABrowser()
    {
        // An editor made directly by a factory outlives its property safely.
        std::unique_ptr<QWidget> editor(f->spinFactory.createEditor(f->threshold, nullptr));
        auto *spin = qobject_cast<QSpinBox *>(editor.get());
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), 80);
        QSignalSpy edited(&f->ints, &QtIntPropertyManager::valueEdited);
        spin->setValue(100);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(f->ints.value(f->threshold), 100);
        delete f->threshold;
        spin->setValue(105);
        QCOMPARE(edited.count(), 1);
        QVERIFY(!f->spinFactory.createEditor(f->serial, nullptr));
    }

    void deletingShownProperties()
    {
        // The current row with an open editor.
        QVERIFY(f->edit<QSpinBox>(f->threshold));
        QCOMPARE(f->browser.currentItem(), f->row(f->threshold));
        delete f->threshold;
        QVERIFY(f->browser.items(f->threshold).isEmpty());
        QCOMPARE(f->rowTexts(f->settings),
                 (QStringList{"Sensitivity", "Night fire threshold", "Interval", "Cable"}));
        QTRY_VERIFY(!f->openEditor());
        QVERIFY(f->browser.currentItem() != nullptr);
        QVERIFY(f->browser.currentItem()->property() != f->threshold);

        // A top-level group: its rows go, its sub-properties stay alive.
        QSignalSpy current(&f->browser, &QtAbstractPropertyBrowser::currentItemChanged);
        f->browser.setCurrentItem(f->row(f->caseState));
        delete f->status;
        QCOMPARE(f->browser.properties(),
                 (QList<QtProperty *>{f->type, f->serial, f->address, f->settings}));
        QCOMPARE(f->tree()->topLevelItemCount(), 4);
        QVERIFY(f->browser.items(f->caseState).isEmpty());
        QCOMPARE(f->readOnlyEnums.properties().size(), 3);
        QtBrowserItem *now = f->browser.currentItem();
        QVERIFY(!now || f->browser.items(now->property()).contains(now));
        QVERIFY(!current.isEmpty());

        // A whole manager.
        QtProperty *settings = f->settings;
        f->browser.clear();
        f->browser.addProperty(settings);
        f->enums.clear();
        QCOMPARE(f->rowTexts(settings), (QStringList{"Night fire threshold", "Interval", "Cable"}));
        f->groups.clear();
        QCOMPARE(f->tree()->topLevelItemCount(), 0);
        QVERIFY(f->browser.topLevelItems().isEmpty());
        QVERIFY(!f->browser.currentItem());
    }

    void scrollPositionSurvivesRebuild()
    {
        QList<QtProperty *> many;
        for (int i = 0; i < 60; ++i) {
            QtProperty *p = f->strings.addProperty(QStringLiteral("Row %1").arg(i));
            f->strings.setValue(p, QString::number(i));
            many << p;
            f->browser.addProperty(p);
        }
        f->browser.setScrollPosition(25);
        QCOMPARE(f->browser.scrollPosition(), 25);
        const int remembered = f->browser.scrollPosition();

        const QList<QtProperty *> shown = f->browser.properties();
        f->browser.clear();
        QCOMPARE(f->tree()->topLevelItemCount(), 0);
        QCOMPARE(f->strings.properties().size(), 62); // clearing deletes nothing
        for (QtProperty *p : shown)
            f->browser.addProperty(p);
        f->browser.setScrollPosition(remembered);
        QCOMPARE(f->browser.scrollPosition(), remembered);
        QCOMPARE(f->tree()->verticalScrollBar()->value(), remembered);
    }

    void headerAndLook()
    {
        QTreeWidget *tree = f->tree();
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Property"));
        QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Value"));
        QVERIFY(f->browser.alternatingRowColors());
        QVERIFY(f->browser.rootIsDecorated());
        f->browser.setResizeMode(QtTreePropertyBrowser::Interactive);
        f->browser.setSplitterPosition(150);
        QCOMPARE(f->browser.splitterPosition(), 150);
    }

    void screenshot()
    {
        f->browser.resize(440, 470);
        f->browser.setSplitterPosition(210);
        for (QtProperty *p : {f->sensitivity, f->threshold, f->nightThreshold, f->interval, f->cable})
            f->browser.setBackgroundColor(f->row(p), EditableColor);
        f->readOnlyEnums.setValue(f->caseState, 0);
        f->browser.setBackgroundColor(f->row(f->caseState), AlarmColor);
        f->browser.setBackgroundColor(f->row(f->battery), FaultColor);
        f->ints.setValue(f->threshold, 105);
        f->threshold->setModified(true);
        f->nightThreshold->setEnabled(false);
        f->bools.setValue(f->cable, true);
        QVERIFY(f->edit<QComboBox>(f->sensitivity));

        const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/propertybrowser.png");
        QVERIFY(f->browser.grab().save(path));
        qInfo("property browser screenshot: %s", qPrintable(path));
    }
};

QTEST_MAIN(PropertyBrowserTest)
#include "tst_propertybrowser.moc"
