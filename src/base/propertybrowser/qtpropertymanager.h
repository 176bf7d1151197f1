#pragma once
// Typed property managers. Each keeps the values of its own properties and
// emits, for a real change only, propertyChanged, then valueChanged, then
// (for the user's edit through an editor, see QtAbstractPropertyManager)
// valueEdited. Properties of another manager are ignored by every setter and
// read as default values.

#include "qtpropertybrowser.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <limits>

// Text values, optionally restricted by a regular expression.
class QtStringPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtStringPropertyManager(QObject *parent = nullptr);
    ~QtStringPropertyManager() override;

    QString value(const QtProperty *property) const;
    QRegularExpression regExp(const QtProperty *property) const;

public slots:
    // A value that does not match the whole regular expression (when one is
    // set and valid) is refused.
    void setValue(QtProperty *property, const QString &value);
    void setRegExp(QtProperty *property, const QRegularExpression &regExp);

signals:
    void valueChanged(QtProperty *property, const QString &value);
    void valueEdited(QtProperty *property, const QString &value);
    void regExpChanged(QtProperty *property, const QRegularExpression &regExp);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    struct Data
    {
        QString value;
        QRegularExpression regExp;
    };
    QHash<const QtProperty *, Data> m_values;
};

// Properties that only hold sub-properties; they show no value.
class QtGroupPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtGroupPropertyManager(QObject *parent = nullptr);
    ~QtGroupPropertyManager() override;

protected:
    bool hasValue(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
};

// A choice among names; the value is the index of the chosen name. A property
// without names has the value -1; when it first gets names its value becomes
// 0. An index without a name (set on purpose, or left over after the names
// changed) is kept and shows no text.
class QtEnumPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtEnumPropertyManager(QObject *parent = nullptr);
    ~QtEnumPropertyManager() override;

    int value(const QtProperty *property) const;
    QStringList enumNames(const QtProperty *property) const;
    QMap<int, QIcon> enumIcons(const QtProperty *property) const;

public slots:
    // Negative values count as -1.
    void setValue(QtProperty *property, int value);
    void setEnumNames(QtProperty *property, const QStringList &names);
    void setEnumIcons(QtProperty *property, const QMap<int, QIcon> &icons);

signals:
    void valueChanged(QtProperty *property, int value);
    void valueEdited(QtProperty *property, int value);
    void enumNamesChanged(QtProperty *property, const QStringList &names);
    void enumIconsChanged(QtProperty *property, const QMap<int, QIcon> &icons);

protected:
    QString valueText(const QtProperty *property) const override;
    QIcon valueIcon(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    struct Data
    {
        int value = -1;
        QStringList names;
        QMap<int, QIcon> icons;
    };
    QHash<const QtProperty *, Data> m_values;
};

// On/off values, shown as a check box and "True" / "False".
class QtBoolPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtBoolPropertyManager(QObject *parent = nullptr);
    ~QtBoolPropertyManager() override;

    bool value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, bool value);

signals:
    void valueChanged(QtProperty *property, bool value);
    void valueEdited(QtProperty *property, bool value);

protected:
    QString valueText(const QtProperty *property) const override;
    QIcon valueIcon(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    QHash<const QtProperty *, bool> m_values;
    mutable QIcon m_checkedIcon;
    mutable QIcon m_uncheckedIcon;
};

// Shared by the number managers: a value clamped into a range (by default
// the whole range of T) and a single step for editors (by default 1). A range
// whose maximum is below its minimum becomes the single value minimum.
// Derived declares the signals valueChanged, valueEdited, rangeChanged and
// singleStepChanged with T arguments.
template <class T, class Derived>
class QtNumberPropertyManager : public QtAbstractPropertyManager
{
public:
    ~QtNumberPropertyManager() override;

    T value(const QtProperty *property) const { return m_values.value(property).value; }
    T minimum(const QtProperty *property) const { return m_values.value(property).minimum; }
    T maximum(const QtProperty *property) const { return m_values.value(property).maximum; }
    T singleStep(const QtProperty *property) const { return m_values.value(property).singleStep; }

    // Values are clamped into the range; for real numbers NaN is refused.
    void setValue(QtProperty *property, T value);
    void setMinimum(QtProperty *property, T minimum);
    void setMaximum(QtProperty *property, T maximum);
    void setRange(QtProperty *property, T minimum, T maximum);
    // Negative steps are ignored.
    void setSingleStep(QtProperty *property, T step);

protected:
    explicit QtNumberPropertyManager(QObject *parent) : QtAbstractPropertyManager(parent) {}

    struct Data
    {
        T value = T();
        T minimum = std::numeric_limits<T>::lowest();
        T maximum = std::numeric_limits<T>::max();
        T singleStep = T(1);
        int decimals = 2;
    };

    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

    QHash<const QtProperty *, Data> m_values;

private:
    Derived *derived() { return static_cast<Derived *>(this); }
};

class QtIntPropertyManager : public QtNumberPropertyManager<int, QtIntPropertyManager>
{
    Q_OBJECT
public:
    explicit QtIntPropertyManager(QObject *parent = nullptr);
    ~QtIntPropertyManager() override;

signals:
    void valueChanged(QtProperty *property, int value);
    void valueEdited(QtProperty *property, int value);
    void rangeChanged(QtProperty *property, int minimum, int maximum);
    void singleStepChanged(QtProperty *property, int step);

protected:
    QString valueText(const QtProperty *property) const override;
};

// Real numbers, shown with `decimals` digits after the point (0 to 13, by
// default 2).
class QtDoublePropertyManager : public QtNumberPropertyManager<double, QtDoublePropertyManager>
{
    Q_OBJECT
public:
    explicit QtDoublePropertyManager(QObject *parent = nullptr);
    ~QtDoublePropertyManager() override;

    int decimals(const QtProperty *property) const { return m_values.value(property).decimals; }
    void setDecimals(QtProperty *property, int decimals);

signals:
    void valueChanged(QtProperty *property, double value);
    void valueEdited(QtProperty *property, double value);
    void rangeChanged(QtProperty *property, double minimum, double maximum);
    void singleStepChanged(QtProperty *property, double step);
    void decimalsChanged(QtProperty *property, int decimals);

protected:
    QString valueText(const QtProperty *property) const override;
};

extern template class QtNumberPropertyManager<int, QtIntPropertyManager>;
extern template class QtNumberPropertyManager<double, QtDoublePropertyManager>;
