#include "propertytreetext.h"

#include "qtpropertybrowser.h"

QString (*propertyTreeTextFn)(const QList<QtProperty *> &, int) = propertyTreeText;

QString propertyTreeText(const QList<QtProperty *> &properties, int depth)
{
    QString text;
    for (QtProperty *property : properties) {
        if (!property)
            continue;
        const QString indent(qMax(depth, 0) * 4, QLatin1Char(' '));
        const QList<QtProperty *> children = property->subProperties();
        if (children.isEmpty())
            text += QStringLiteral("%1%2: %3\n").arg(indent, property->propertyName(), property->valueText());
        else
            text += QStringLiteral("\n%1%2:\n%3")
                        .arg(indent, property->propertyName(), propertyTreeTextFn(children, depth + 1));
    }
    return text;
}
