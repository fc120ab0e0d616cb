#include "platform/UserDefaults.h"

#include "platform/PropertyList.h"

#include <QDir>
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
    m_values = PropertyList::readFile(m_filePath).value_or(QVariantMap());
}

void UserDefaults::saveLocked()
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(PropertyList::toXml(m_values));
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
