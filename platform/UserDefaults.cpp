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

void UserDefaults::setProblemLog(ProblemLog log)
{
    QMutexLocker lock(&m_mutex);
    m_problemLog = std::move(log);
}

void UserDefaults::report(const QString &message) const
{
    if (m_problemLog)
        m_problemLog(message);
}

namespace {
QString keyList(const QStringList &keys)
{
    constexpr qsizetype shown = 8;
    QString text = keys.first(std::min(shown, keys.size())).join(QStringLiteral(", "));
    if (keys.size() > shown)
        text += QStringLiteral(" and %1 more").arg(keys.size() - shown);
    return text;
}

QString lossText(PropertyList::Loss loss)
{
    switch (loss) {
    case PropertyList::Loss::Encoding:
        return QStringLiteral("declares an encoding other than UTF-8, but is read as UTF-8");
    case PropertyList::Loss::InvalidText:
        return QStringLiteral("holds text that is not valid UTF-8 or UTF-16, which does not read as written");
    case PropertyList::Loss::Nul:
        return QStringLiteral("holds a NUL character, at which a text is read cut short");
    case PropertyList::Loss::None:
        break;
    }
    return QString();
}
}

void UserDefaults::loadLocked() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    // A missing or unreadable file is an empty store.
    const PropertyList::BoundedRead stored = PropertyList::readFileBounded(m_filePath, maxFileSize, settingsRoom);
    m_values = stored.values.value_or(QVariantMap());
    m_written = m_values;
    const QFileInfo file(m_filePath);
    if (!stored.values && file.exists() && file.size() > 0)
        m_onDisk = OnDisk::Unreadable;
    if (!stored.values)
        return;
    if (!stored.complete) {
        m_onDisk = OnDisk::PartlyRead;
        QString what;
        if (!stored.shortened.isEmpty())
            what += QStringLiteral("; cut short or left out: ") + keyList(stored.shortened);
        if (file.size() > maxFileSize)
            what += QStringLiteral("; nothing past its first %1 bytes was read").arg(maxFileSize);
        report(QStringLiteral("SETTINGS PARTLY READ: %1 holds more than the settings store reads%2. The whole file "
                              "is set aside at the next change.")
                   .arg(m_filePath, what));
    }
    if (stored.loss != PropertyList::Loss::None) {
        // Written back, the changed text would replace the only copy as it was.
        m_onDisk = OnDisk::PartlyRead;
        report(QStringLiteral("SETTINGS READ WITH LOSS: %1 %2. The whole file is set aside at the next change.")
                   .arg(m_filePath, lossText(stored.loss)));
    }
}

std::optional<QString> UserDefaults::setAsideLocked(const QString &why)
{
    if (!QFileInfo::exists(m_filePath))
        return QString();
    const QString base = m_filePath + QLatin1Char('.') + why + QLatin1Char('-')
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_filePath, aside))
        return std::nullopt;
    return aside;
}

bool UserDefaults::saveLocked(const QVariantMap &values, const QString &key)
{
    const auto notSaved = [&](const QString &why) {
        report(QStringLiteral("SETTINGS NOT SAVED: the change to \"%1\" was not written to %2: %3")
                   .arg(key, m_filePath, why));
        return false;
    };
    const QByteArray xml = PropertyList::toXml(values);
    if (!PropertyList::readsBackWhole(xml, maxFileSize, settingsRoom))
        return notSaved(QStringLiteral("the settings would pass the limits of the store; the file keeps the earlier ones"));
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    if (m_onDisk != OnDisk::Read) {
        // Never replace the only copy of settings we could not read whole.
        const std::optional<QString> aside
            = setAsideLocked(m_onDisk == OnDisk::Unreadable ? QStringLiteral("unreadable") : QStringLiteral("partly-read"));
        if (!aside)
            return notSaved(QStringLiteral("the earlier file, not read whole, could not be set aside"));
        if (!aside->isEmpty())
            report(QStringLiteral("SETTINGS SET ASIDE: %1 was kept as %2").arg(m_filePath, *aside));
        m_onDisk = OnDisk::Read;
    }
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit())
        return notSaved(file.errorString());
    return true;
}

void UserDefaults::writeLocked(const QString &key, const std::function<void(QVariantMap &)> &change)
{
    // Applied to what the file holds: a change refused earlier stays out of it.
    QVariantMap next = m_written;
    change(next);
    if (saveLocked(next, key))
        m_written = std::move(next);
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
    writeLocked(key, [&](QVariantMap &values) { values.insert(key, value); });
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
    writeLocked(key, [&](QVariantMap &values) { values.remove(key); });
}
