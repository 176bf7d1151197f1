#pragma once

#include <QList>
#include <QString>

class QtProperty;

// Indented plain text of a property tree: "name: value" per leaf, a blank
// line and "name:" before each group, four spaces per level of depth.
QString propertyTreeText(const QList<QtProperty *> &properties, int depth);

// Holds propertyTreeText; callers and the recursion go through it.
extern QString (*propertyTreeTextFn)(const QList<QtProperty *> &properties, int depth);
