#include "platform/UserDefaults.h"

#include "platform/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

UserDefaults::UserDefaults(const QString &filePath)
    : m_filePath(filePath)
{
}

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                 + QStringLiteral("/Quillmere/Quillmere.plist"));
    return defaults;
}

void UserDefaults::loadLocked() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    // A missing or unreadable file is an empty store.
    const std::optional<QVariantMap> stored = PropertyList::readFile(m_filePath, maxFileSize);
    m_values = stored.value_or(QVariantMap());
    const QFileInfo file(m_filePath);
    m_unreadableOnDisk = !stored && file.exists() && file.size() > 0;
}

// Renames the unreadable file to "<name>.unreadable-<UTC time>" beside it.
bool UserDefaults::setAsideUnreadableLocked()
{
    if (!QFileInfo::exists(m_filePath))
        return true;
    const QString base = m_filePath + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    return QFile::rename(m_filePath, aside);
}

void UserDefaults::saveLocked()
{
    const QByteArray xml = PropertyList::toXml(m_values);
    if (!PropertyList::withinLimits(xml, maxFileSize))
        return;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    if (m_unreadableOnDisk) {
        // Never replace the only copy of settings we could not read.
        if (!setAsideUnreadableLocked())
            return;
        m_unreadableOnDisk = false;
    }
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(xml);
    file.commit();
}

QVariant UserDefaults::value(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    loadLocked();
    return m_values.value(key);
}

bool UserDefaults::contains(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    loadLocked();
    return m_values.contains(key);
}

std::optional<bool> UserDefaults::boolValue(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() != QMetaType::Bool)
        return std::nullopt;
    return v.toBool();
}

bool UserDefaults::boolValue(const QString &key, bool defaultValue) const
{
    return boolValue(key).value_or(defaultValue);
}

std::optional<QString> UserDefaults::string(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() != QMetaType::QString)
        return std::nullopt;
    return v.toString();
}

std::optional<QStringList> UserDefaults::stringList(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList list;
    for (const QVariant &element : v.toList()) {
        if (element.typeId() != QMetaType::QString)
            return std::nullopt;
        list.append(element.toString());
    }
    return list;
}

std::optional<QDateTime> UserDefaults::date(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() != QMetaType::QDateTime)
        return std::nullopt;
    return v.toDateTime();
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker lock(&m_mutex);
    loadLocked();
    m_values.insert(key, value);
    saveLocked();
}

void UserDefaults::setBool(const QString &key, bool value)
{
    setValue(key, QVariant(value));
}

void UserDefaults::setString(const QString &key, const QString &value)
{
    setValue(key, QVariant(value));
}

void UserDefaults::setStringList(const QString &key, const QStringList &value)
{
    QVariantList list;
    for (const QString &s : value)
        list.append(s);
    setValue(key, QVariant(list));
}

void UserDefaults::setDate(const QString &key, const QDateTime &value)
{
    setValue(key, QVariant(value.toUTC()));
}

void UserDefaults::remove(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    loadLocked();
    m_values.remove(key);
    saveLocked();
}
