#pragma once

#include "createdtime.h"

#include <QMetaType>
#include <QString>
#include <QVector>

#include <qcustomplot.h>

#include <limits>

// A graph's rows as the viewer plots them: one point per row whose `created`
// reads (whole seconds since the epoch; a break row's value is NaN), in row
// order, and what the viewer keeps of them.
struct GraphPoints
{
    QVector<QCPGraphData> points;
    QString lastCreated; // `created` of the last row read; empty when none
    bool any = false;    // a row with a value
    double low = std::numeric_limits<double>::max();     // of the values, breaks left out
    double high = -std::numeric_limits<double>::max();
    double firstKey = 0.0; // of the first and last row with a value
    double lastKey = 0.0;
};
Q_DECLARE_METATYPE(GraphPoints)

// Turns rows into GraphPoints one at a time; a row whose `created` is not
// of the stored form is left out.
class GraphPointsBuilder
{
public:
    void add(const QString &created, double value);
    // The text as SQLite hands it over (UTF-8).
    void add(const char *created, int size, double value);
    GraphPoints take();

private:
    void addKey(qint64 seconds, double value);

    GraphPoints m_points;
    CreatedTimeReader m_reader;
    // The last `created` read from bytes: a text made once, at take().
    char m_lastBytes[23] = {};
    bool m_fromBytes = false;
};
