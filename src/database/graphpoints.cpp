#include "graphpoints.h"

#include <algorithm>
#include <cmath>

void GraphPointsBuilder::add(const QString &created, double value)
{
    qint64 seconds = 0;
    if (!m_reader.read(created, &seconds))
        return;
    m_points.lastCreated = created;
    m_fromBytes = false;
    addKey(seconds, value);
}

void GraphPointsBuilder::add(const char *created, int size, double value)
{
    qint64 seconds = 0;
    if (!m_reader.read(created, size, &seconds))
        return;
    // The bytes are SQLite's until the next row; read, they are 23 ASCII characters.
    std::copy(created, created + size, m_lastBytes);
    m_fromBytes = true;
    addKey(seconds, value);
}

void GraphPointsBuilder::addKey(qint64 seconds, double value)
{
    const double key = double(seconds);
    m_points.points.append(QCPGraphData(key, value));
    if (std::isnan(value))
        return;
    m_points.low = std::min(m_points.low, value);
    m_points.high = std::max(m_points.high, value);
    if (!m_points.any)
        m_points.firstKey = key;
    m_points.lastKey = key;
    m_points.any = true;
}

GraphPoints GraphPointsBuilder::take()
{
    if (m_fromBytes)
        m_points.lastCreated = QString::fromLatin1(m_lastBytes, int(sizeof m_lastBytes));
    GraphPoints points = std::move(m_points);
    m_points = GraphPoints();
    m_fromBytes = false;
    return points;
}
