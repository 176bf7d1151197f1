// Property managers on their own: change signals, clamping, enum names,
// sub-property structure and the lifetime of properties.
#include "qtpropertymanager.h"

#include <QApplication>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

enum Kind { Int, Double, Enum, Bool, String };

// The managers of every value kind, with one property each.
struct Managers
{
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtEnumPropertyManager enums;
    QtBoolPropertyManager bools;
    QtStringPropertyManager strings;

    QtAbstractPropertyManager *manager(Kind kind)
    {
        switch (kind) {
        case Int: return &ints;
        case Double: return &doubles;
        case Enum: return &enums;
        case Bool: return &bools;
        case String: return &strings;
        }
        return nullptr;
    }

    void set(Kind kind, QtProperty *p, const QVariant &v)
    {
        switch (kind) {
        case Int: ints.setValue(p, v.toInt()); break;
        case Double: doubles.setValue(p, v.toDouble()); break;
        case Enum: enums.setValue(p, v.toInt()); break;
        case Bool: bools.setValue(p, v.toBool()); break;
        case String: strings.setValue(p, v.toString()); break;
        }
    }

    QVariant value(Kind kind, QtProperty *p) const
    {
        switch (kind) {
        case Int: return ints.value(p);
        case Double: return doubles.value(p);
        case Enum: return enums.value(p);
        case Bool: return bools.value(p);
        case String: return strings.value(p);
        }
        return {};
    }

    QByteArray changedSignal(Kind kind) const
    {
        switch (kind) {
        case Int: return SIGNAL(valueChanged(QtProperty *, int));
        case Double: return SIGNAL(valueChanged(QtProperty *, double));
        case Enum: return SIGNAL(valueChanged(QtProperty *, int));
        case Bool: return SIGNAL(valueChanged(QtProperty *, bool));
        case String: return SIGNAL(valueChanged(QtProperty *, const QString &));
        }
        return {};
    }

    QByteArray editedSignal(Kind kind) const
    {
        QByteArray s = changedSignal(kind);
        return s.replace("valueChanged", "valueEdited");
    }
};

// A property that carries one extra number, made through the manager's hook.
class LevelProperty : public QtProperty
{
public:
    explicit LevelProperty(QtAbstractPropertyManager *manager, int *destroyed)
        : QtProperty(manager), m_destroyed(destroyed)
    {
    }
    ~LevelProperty() override { ++*m_destroyed; }
    int level = 0;

private:
    int *m_destroyed;
};

class LevelStringManager : public QtStringPropertyManager
{
public:
    int destroyed = 0;

protected:
    QtProperty *createProperty() override { return new LevelProperty(this, &destroyed); }
};

QStringList childNames(const QtProperty *p)
{
    QStringList names;
    for (const QtProperty *child : p->subProperties())
        names << child->propertyName();
    return names;
}

} // namespace

class PropertyManagersTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyRealChangesSignal_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariantList>("sets");
        QTest::addColumn<int>("changes");
        QTest::addColumn<QVariant>("final");

        // int: range 0..10 is set first; 15 and 20 clamp to the same 10.
        QTest::newRow("int clamps") << int(Int) << QVariantList{5, 5, 15, 20, -3} << 3 << QVariant(0);
        // double: range 0..1; NaN is refused.
        QTest::newRow("double clamps, NaN refused")
            << int(Double) << QVariantList{0.5, 0.5, 2.0, 3.0, std::nan("")} << 2 << QVariant(1.0);
        // enum with three names starts at 0; an index without a name is kept.
        QTest::newRow("enum") << int(Enum) << QVariantList{0, 2, 2, 5, -4, -1} << 3 << QVariant(-1);
        QTest::newRow("bool") << int(Bool) << QVariantList{false, true, true, false} << 2 << QVariant(false);
        // string restricted to digits: "x1" is refused.
        QTest::newRow("string regexp") << int(String) << QVariantList{"12", "12", "x1", "7"} << 2 << QVariant("7");
    }

    void onlyRealChangesSignal()
    {
        QFETCH(int, kind);
        QFETCH(QVariantList, sets);
        QFETCH(int, changes);
        QFETCH(QVariant, final);

        Managers m;
        const Kind k = Kind(kind);
        QtAbstractPropertyManager *manager = m.manager(k);
        QtProperty *p = manager->addProperty(QStringLiteral("p"));
        m.ints.setRange(p, 0, 10);
        m.doubles.setRange(p, 0.0, 1.0);
        m.enums.setEnumNames(p, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        m.strings.setRegExp(p, QRegularExpression(QStringLiteral("[0-9]+")));

        QSignalSpy changed(manager, m.changedSignal(k).constData());
        QSignalSpy edited(manager, m.editedSignal(k).constData());
        QSignalSpy shown(manager, &QtAbstractPropertyManager::propertyChanged);
        int userEditsSeen = 0;
        connect(manager, &QtAbstractPropertyManager::propertyChanged, this,
                [&] { userEditsSeen += manager->isUserEdit(); });

        for (const QVariant &v : sets)
            m.set(k, p, v);

        QCOMPARE(changed.count(), changes);
        QCOMPARE(shown.count(), changes);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(userEditsSeen, 0);
        QCOMPARE(m.value(k, p), final);
        // The last signal carries the stored value.
        QCOMPARE(changed.constLast().at(1), final);
    }

    void everyShownChangeSignalsOnce_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("expected");
        const char *names[] = {"rename", "tool tip", "disable", "modify", "enum names", "enum icons",
                               "int range", "double decimals", "int single step (not shown)"};
        const int expected[] = {1, 1, 1, 1, 1, 1, 1, 1, 0};
        for (int i = 0; i < 9; ++i)
            QTest::newRow(names[i]) << i << expected[i];
    }

    void everyShownChangeSignalsOnce()
    {
        QFETCH(int, change);
        QFETCH(int, expected);

        Managers m;
        QtProperty *e = m.enums.addProperty(QStringLiteral("State"));
        QtProperty *i = m.ints.addProperty(QStringLiteral("Threshold"));
        QtProperty *d = m.doubles.addProperty(QStringLiteral("Voltage"));
        m.enums.setEnumNames(e, {QStringLiteral("No alarm"), QStringLiteral("Alarm")});
        QPixmap pencil(8, 8);
        pencil.fill(Qt::blue);
        const QMap<int, QIcon> icons{{0, QIcon(pencil)}, {1, QIcon(pencil)}};

        QSignalSpy enumShown(&m.enums, &QtAbstractPropertyManager::propertyChanged);
        QSignalSpy intShown(&m.ints, &QtAbstractPropertyManager::propertyChanged);
        QSignalSpy doubleShown(&m.doubles, &QtAbstractPropertyManager::propertyChanged);
        // Each change is made twice; the second time changes nothing.
        for (int round = 0; round < 2; ++round) {
            switch (change) {
            case 0: e->setPropertyName(QStringLiteral("Zone state")); break;
            case 1: e->setToolTip(QStringLiteral("Zone 1")); break;
            case 2: e->setEnabled(false); break;
            case 3: e->setModified(true); break;
            case 4: m.enums.setEnumNames(e, {QStringLiteral("Normal"), QStringLiteral("Alarm")}); break;
            case 5: m.enums.setEnumIcons(e, icons); break;
            case 6: m.ints.setRange(i, 80, 120); break;
            case 7: m.doubles.setDecimals(d, 3); break;
            case 8: m.ints.setSingleStep(i, 5); break;
            }
        }
        QCOMPARE(enumShown.count() + intShown.count() + doubleShown.count(), expected);
        for (const QSignalSpy *spy : {&enumShown, &intShown, &doubleShown}) {
            if (!spy->isEmpty())
                QVERIFY(spy->constFirst().at(0).value<QtProperty *>() != nullptr);
        }
    }

    void rangesNarrowAndClamp()
    {
        QtIntPropertyManager ints;
        QtProperty *p = ints.addProperty();
        ints.setValue(p, 100);
        QSignalSpy range(&ints, &QtIntPropertyManager::rangeChanged);
        QSignalSpy value(&ints, &QtIntPropertyManager::valueChanged);

        ints.setRange(p, 80, 120);
        QCOMPARE(value.count(), 0);
        ints.setMinimum(p, 150); // above the maximum: the maximum follows
        QCOMPARE(ints.minimum(p), 150);
        QCOMPARE(ints.maximum(p), 150);
        QCOMPARE(ints.value(p), 150);
        ints.setMaximum(p, 70); // below the minimum: the minimum follows
        QCOMPARE(ints.minimum(p), 70);
        QCOMPARE(ints.value(p), 70);
        ints.setRange(p, 10, 5); // reversed: the single value 10
        QCOMPARE(ints.maximum(p), 10);
        QCOMPARE(ints.value(p), 10);
        QCOMPARE(range.count(), 4);
        QCOMPARE(value.count(), 3);
        ints.setRange(p, 10, 10);
        QCOMPARE(range.count(), 4);

        QtDoublePropertyManager doubles;
        QtProperty *d = doubles.addProperty();
        doubles.setDecimals(d, 40);
        QCOMPARE(doubles.decimals(d), 13);
        doubles.setDecimals(d, 1);
        doubles.setValue(d, 3.14159);
        QCOMPARE(d->valueText(), QStringLiteral("3.1"));
        doubles.setSingleStep(d, -1.0);
        QCOMPARE(doubles.singleStep(d), 1.0);
    }

    void enumNamesChangeAtRunTime()
    {
        QtEnumPropertyManager enums;
        QtProperty *p = enums.addProperty(QStringLiteral("Sensitivity"));
        QCOMPARE(enums.value(p), -1);
        QCOMPARE(p->valueText(), QString());

        QSignalSpy value(&enums, &QtEnumPropertyManager::valueChanged);
        enums.setEnumNames(p, {QStringLiteral("High"), QStringLiteral("Middle"), QStringLiteral("Low")});
        QCOMPARE(enums.value(p), 0); // first names: the first is chosen
        QCOMPARE(value.count(), 1);
        enums.setValue(p, 2);
        QCOMPARE(p->valueText(), QStringLiteral("Low"));

        // Fewer names: the index stays and shows no text until set again.
        enums.setEnumNames(p, {QStringLiteral("High"), QStringLiteral("Low")});
        QCOMPARE(enums.value(p), 2);
        QCOMPARE(p->valueText(), QString());
        enums.setValue(p, 1);
        QCOMPARE(p->valueText(), QStringLiteral("Low"));
        // Renamed names keep the index.
        enums.setEnumNames(p, {QStringLiteral("Hoch"), QStringLiteral("Niedrig")});
        QCOMPARE(p->valueText(), QStringLiteral("Niedrig"));
        enums.setEnumNames(p, {});
        QCOMPARE(enums.value(p), -1);

        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::red);
        enums.setEnumNames(p, {QStringLiteral("a"), QStringLiteral("b")});
        enums.setEnumIcons(p, {{1, QIcon(pixmap)}});
        QVERIFY(p->valueIcon().isNull());
        enums.setValue(p, 1);
        QVERIFY(!p->valueIcon().isNull());
    }

    void subPropertyStructure()
    {
        QtGroupPropertyManager groups;
        QtStringPropertyManager strings;
        QtProperty *status = groups.addProperty(QStringLiteral("Status"));
        QtProperty *a = strings.addProperty(QStringLiteral("a"));
        QtProperty *b = strings.addProperty(QStringLiteral("b"));
        QtProperty *c = strings.addProperty(QStringLiteral("c"));
        QtProperty *d = strings.addProperty(QStringLiteral("d"));
        QSignalSpy inserted(&groups, &QtAbstractPropertyManager::propertyInserted);
        QSignalSpy removed(&groups, &QtAbstractPropertyManager::propertyRemoved);

        status->addSubProperty(a);
        status->addSubProperty(c);
        status->insertSubProperty(b, a);       // after a
        status->insertSubProperty(d, nullptr); // front
        status->addSubProperty(a);             // already there
        QCOMPARE(childNames(status), (QStringList{"d", "a", "b", "c"}));
        QCOMPARE(inserted.count(), 4);
        QCOMPARE(inserted.at(2).at(2).value<QtProperty *>(), a);

        status->removeSubProperty(d);
        status->removeSubProperty(d);
        QCOMPARE(removed.count(), 1);
        status->insertSubProperty(d, strings.addProperty()); // not a child: appended
        QCOMPARE(childNames(status).constLast(), QStringLiteral("d"));
        QCOMPARE(inserted.constLast().at(2).value<QtProperty *>(), c);

        // No cycles: a property cannot hold itself or an ancestor.
        QtProperty *inner = groups.addProperty(QStringLiteral("inner"));
        status->addSubProperty(inner);
        inner->addSubProperty(status);
        inner->addSubProperty(inner);
        QVERIFY(inner->subProperties().isEmpty());
    }

    void deletedPropertyLeavesEveryParent()
    {
        QtGroupPropertyManager groups;
        auto strings = std::make_unique<QtStringPropertyManager>();
        QtProperty *g1 = groups.addProperty(QStringLiteral("g1"));
        QtProperty *g2 = groups.addProperty(QStringLiteral("g2"));
        QtProperty *shared = groups.addProperty(QStringLiteral("shared"));
        QtProperty *leaf = strings->addProperty(QStringLiteral("leaf"));
        g1->addSubProperty(shared);
        g2->addSubProperty(shared);
        shared->addSubProperty(leaf);

        QSignalSpy destroyed(&groups, &QtAbstractPropertyManager::propertyDestroyed);
        QSignalSpy removed(&groups, &QtAbstractPropertyManager::propertyRemoved);
        delete shared;
        QCOMPARE(destroyed.count(), 1);
        QCOMPARE(removed.count(), 2);
        QVERIFY(g1->subProperties().isEmpty());
        QVERIFY(g2->subProperties().isEmpty());
        QCOMPARE(groups.properties().size(), 2);
        // The leaf lives on and can go elsewhere.
        g1->addSubProperty(leaf);
        QCOMPARE(g1->subProperties().size(), 1);

        // Deleting a manager deletes its properties and they leave their parents.
        QSignalSpy stringsDestroyed(strings.get(), &QtAbstractPropertyManager::propertyDestroyed);
        strings->addProperty(QStringLiteral("other"));
        strings.reset();
        QCOMPARE(stringsDestroyed.count(), 2);
        QVERIFY(g1->subProperties().isEmpty());
    }

    void propertyDeletedBySignalHandler()
    {
        QtIntPropertyManager ints;
        QtProperty *p = ints.addProperty();
        QSignalSpy value(&ints, &QtIntPropertyManager::valueChanged);
        connect(&ints, &QtAbstractPropertyManager::propertyChanged, this, [](QtProperty *changed) { delete changed; });
        ints.setValue(p, 7);
        QCOMPARE(value.count(), 0); // no signal about a property that is gone
        QVERIFY(ints.properties().isEmpty());
    }

    void subclassedPropertiesThroughTheHook()
    {
        int destroyed = 0;
        {
            LevelStringManager manager;
            auto *p = dynamic_cast<LevelProperty *>(manager.addProperty(QStringLiteral("Case")));
            QVERIFY(p);
            p->level = 2;
            manager.setValue(p, QStringLiteral("Opened"));
            QCOMPARE(p->valueText(), QStringLiteral("Opened"));
            manager.addProperty();
            manager.clear();
            destroyed = manager.destroyed;
        }
        QCOMPARE(destroyed, 2);
    }

    void foreignPropertiesAreIgnored()
    {
        QtIntPropertyManager ints;
        QtBoolPropertyManager bools;
        QtProperty *b = bools.addProperty();
        QSignalSpy value(&ints, &QtIntPropertyManager::valueChanged);
        ints.setValue(b, 5);
        ints.setRange(b, 1, 2);
        QCOMPARE(value.count(), 0);
        QCOMPARE(ints.value(b), 0);
        QCOMPARE(b->valueText(), QStringLiteral("False"));
        bools.setValue(b, true);
        QCOMPARE(b->valueText(), QStringLiteral("True"));
        QVERIFY(!b->valueIcon().isNull());
    }
};

QTEST_MAIN(PropertyManagersTest)
#include "tst_propertymanagers.moc"
