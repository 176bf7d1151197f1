#include "qtpropertymanager.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>
#include <type_traits>

namespace {

bool sameIcons(const QMap<int, QIcon> &a, const QMap<int, QIcon> &b)
{
    if (a.size() != b.size())
        return false;
    for (auto ia = a.cbegin(), ib = b.cbegin(); ia != a.cend(); ++ia, ++ib) {
        if (ia.key() != ib.key() || ia.value().cacheKey() != ib.value().cacheKey())
            return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------- QtStringPropertyManager

QtStringPropertyManager::QtStringPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtStringPropertyManager::~QtStringPropertyManager()
{
    clear();
}

QString QtStringPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property).value;
}

QRegularExpression QtStringPropertyManager::regExp(const QtProperty *property) const
{
    return m_values.value(property).regExp;
}

void QtStringPropertyManager::setValue(QtProperty *property, const QString &value)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || it->value == value)
        return;
    const QRegularExpression &re = it->regExp;
    if (!re.pattern().isEmpty() && re.isValid()) {
        const QRegularExpression whole(QRegularExpression::anchoredPattern(re.pattern()), re.patternOptions());
        if (!whole.match(value).hasMatch())
            return;
    }
    it->value = value;
    emitValueChange(property, value, &QtStringPropertyManager::valueChanged, &QtStringPropertyManager::valueEdited);
}

void QtStringPropertyManager::setRegExp(QtProperty *property, const QRegularExpression &regExp)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || it->regExp == regExp)
        return;
    it->regExp = regExp;
    emit regExpChanged(property, regExp);
}

QString QtStringPropertyManager::valueText(const QtProperty *property) const
{
    return value(property);
}

void QtStringPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, Data());
}

void QtStringPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}

// ----------------------------------------------------- QtGroupPropertyManager

QtGroupPropertyManager::QtGroupPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtGroupPropertyManager::~QtGroupPropertyManager()
{
    clear();
}

bool QtGroupPropertyManager::hasValue(const QtProperty *) const
{
    return false;
}

void QtGroupPropertyManager::initializeProperty(QtProperty *)
{
}

// ------------------------------------------------------ QtEnumPropertyManager

QtEnumPropertyManager::QtEnumPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtEnumPropertyManager::~QtEnumPropertyManager()
{
    clear();
}

int QtEnumPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property).value;
}

QStringList QtEnumPropertyManager::enumNames(const QtProperty *property) const
{
    return m_values.value(property).names;
}

QMap<int, QIcon> QtEnumPropertyManager::enumIcons(const QtProperty *property) const
{
    return m_values.value(property).icons;
}

void QtEnumPropertyManager::setValue(QtProperty *property, int value)
{
    auto it = m_values.find(property);
    if (value < 0)
        value = -1;
    if (it == m_values.end() || it->value == value)
        return;
    it->value = value;
    emitValueChange(property, value, &QtEnumPropertyManager::valueChanged, &QtEnumPropertyManager::valueEdited);
}

void QtEnumPropertyManager::setEnumNames(QtProperty *property, const QStringList &names)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || it->names == names)
        return;
    const int oldValue = it->value;
    it->names = names;
    if (names.isEmpty())
        it->value = -1;
    else if (it->value < 0)
        it->value = 0;
    const int value = it->value;

    emit enumNamesChanged(property, names);
    if (!owns(property))
        return;
    if (value == oldValue) {
        notifyPropertyChanged(property);
        return;
    }
    emitValueChange(property, value, &QtEnumPropertyManager::valueChanged);
}

void QtEnumPropertyManager::setEnumIcons(QtProperty *property, const QMap<int, QIcon> &icons)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || sameIcons(it->icons, icons))
        return;
    it->icons = icons;
    emit enumIconsChanged(property, icons);
    if (owns(property))
        notifyPropertyChanged(property);
}

QString QtEnumPropertyManager::valueText(const QtProperty *property) const
{
    const Data data = m_values.value(property);
    return data.names.value(data.value);
}

QIcon QtEnumPropertyManager::valueIcon(const QtProperty *property) const
{
    const Data data = m_values.value(property);
    return data.icons.value(data.value);
}

void QtEnumPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, Data());
}

void QtEnumPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}

// ------------------------------------------------------ QtBoolPropertyManager

QtBoolPropertyManager::QtBoolPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtBoolPropertyManager::~QtBoolPropertyManager()
{
    clear();
}

bool QtBoolPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property, false);
}

void QtBoolPropertyManager::setValue(QtProperty *property, bool value)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || it.value() == value)
        return;
    it.value() = value;
    emitValueChange(property, value, &QtBoolPropertyManager::valueChanged, &QtBoolPropertyManager::valueEdited);
}

QString QtBoolPropertyManager::valueText(const QtProperty *property) const
{
    if (!m_values.contains(property))
        return QString();
    return value(property) ? tr("True") : tr("False");
}

// The style's own check box, so that a value reads like the editor that
// changes it.
QIcon QtBoolPropertyManager::valueIcon(const QtProperty *property) const
{
    if (!m_values.contains(property) || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QIcon();
    const bool checked = value(property);
    QIcon &icon = checked ? m_checkedIcon : m_uncheckedIcon;
    if (icon.isNull()) {
        QStyle *style = QApplication::style();
        QStyleOptionButton option;
        option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option);
        const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option);
        option.rect = QRect(0, 0, width, height);
        QPixmap pixmap(width, height);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
        painter.end();
        icon = QIcon(pixmap);
    }
    return icon;
}

void QtBoolPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, false);
}

void QtBoolPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}

// ---------------------------------------------------- QtNumberPropertyManager

template <class T, class Derived>
QtNumberPropertyManager<T, Derived>::~QtNumberPropertyManager()
{
    clear();
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::setValue(QtProperty *property, T value)
{
    auto it = m_values.find(property);
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(value))
            return;
    }
    if (it == m_values.end())
        return;
    value = qBound(it->minimum, value, it->maximum);
    if (it->value == value)
        return;
    it->value = value;
    emitValueChange(property, value, &Derived::valueChanged, &Derived::valueEdited);
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::setMinimum(QtProperty *property, T minimum)
{
    if (m_values.contains(property))
        setRange(property, minimum, qMax(minimum, this->maximum(property)));
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::setMaximum(QtProperty *property, T maximum)
{
    if (m_values.contains(property))
        setRange(property, qMin(maximum, this->minimum(property)), maximum);
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::setRange(QtProperty *property, T minimum, T maximum)
{
    auto it = m_values.find(property);
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(minimum) || std::isnan(maximum))
            return;
    }
    if (it == m_values.end())
        return;
    if (maximum < minimum)
        maximum = minimum;
    if (it->minimum == minimum && it->maximum == maximum)
        return;
    const T oldValue = it->value;
    it->minimum = minimum;
    it->maximum = maximum;
    it->value = qBound(minimum, it->value, maximum);
    const T value = it->value;

    emit derived()->rangeChanged(property, minimum, maximum);
    if (!owns(property))
        return;
    if (value == oldValue)
        notifyPropertyChanged(property);
    else
        emitValueChange(property, value, &Derived::valueChanged);
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::setSingleStep(QtProperty *property, T step)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || !(step >= 0) || it->singleStep == step)
        return;
    it->singleStep = step;
    emit derived()->singleStepChanged(property, step);
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::initializeProperty(QtProperty *property)
{
    m_values.insert(property, Data());
}

template <class T, class Derived>
void QtNumberPropertyManager<T, Derived>::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}

template class QtNumberPropertyManager<int, QtIntPropertyManager>;
template class QtNumberPropertyManager<double, QtDoublePropertyManager>;

// ------------------------------------------------------- QtIntPropertyManager

QtIntPropertyManager::QtIntPropertyManager(QObject *parent)
    : QtNumberPropertyManager(parent)
{
}

QtIntPropertyManager::~QtIntPropertyManager() = default;

QString QtIntPropertyManager::valueText(const QtProperty *property) const
{
    if (!m_values.contains(property))
        return QString();
    return QString::number(value(property));
}

// ---------------------------------------------------- QtDoublePropertyManager

QtDoublePropertyManager::QtDoublePropertyManager(QObject *parent)
    : QtNumberPropertyManager(parent)
{
}

QtDoublePropertyManager::~QtDoublePropertyManager() = default;

void QtDoublePropertyManager::setDecimals(QtProperty *property, int decimals)
{
    auto it = m_values.find(property);
    decimals = qBound(0, decimals, 13);
    if (it == m_values.end() || it->decimals == decimals)
        return;
    it->decimals = decimals;
    emit decimalsChanged(property, decimals);
    if (owns(property))
        notifyPropertyChanged(property);
}

QString QtDoublePropertyManager::valueText(const QtProperty *property) const
{
    auto it = m_values.constFind(property);
    if (it == m_values.cend())
        return QString();
    return QLocale().toString(it->value, 'f', it->decimals);
}
