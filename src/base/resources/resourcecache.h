#pragma once

// Pictures and icons of the embedded resources, decoded once per process, and
// the language generation that texts translated once per language follow.
// The cache lives as long as the application object and serves its thread;
// elsewhere, or without an application, every call decodes afresh.

#include <QHash>
#include <QIcon>
#include <QString>

class QImage;

namespace ResourceCache {

// A picture as the device views show it: its icon, online and offline (grey).
struct Picture
{
    QIcon online;  // of the picture as 32-bit ARGB
    QIcon offline; // of its grey copy, alpha kept
    bool isNull() const { return online.isNull(); }
};

// The picture at a resource path (":/images/devices/..."); null when absent.
Picture picture(const QString &path);

// The icon of a file of the resources.
QIcon icon(const QString &path);

// Turns a Format_ARGB32 image grey in place, alpha kept; other formats are
// refused (false, the image unchanged).
bool makeGrey(QImage &image);

// Changes whenever the application's translators change (every
// QEvent::LanguageChange of the application) and with every new application
// object: a table translated under one generation is stale under another.
// 0 off the application's thread or without an application: nothing may be
// kept then.
quint64 languageGeneration();

// Values made from translated texts, kept per key until the language
// generation changes; made afresh on every call where nothing may be kept.
template <class Key, class Value>
class Translated
{
public:
    template <class Make>
    Value value(const Key &key, Make make)
    {
        const quint64 generation = languageGeneration();
        if (generation == 0)
            return make();
        if (generation != m_generation) {
            m_values.clear();
            m_generation = generation;
        }
        auto it = m_values.constFind(key);
        if (it == m_values.constEnd())
            it = m_values.insert(key, make());
        return *it;
    }

private:
    quint64 m_generation = 0;
    QHash<Key, Value> m_values;
};

} // namespace ResourceCache
