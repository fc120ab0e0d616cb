#pragma once

#include <QDateTime>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// Our stand-in for the platform's user defaults: a typed key-value store kept
// as an XML property list, so every value keeps its type and a value of the
// wrong type reads as absent (callers then use their default).
// Every write replaces the file atomically. Safe to use from any thread.
class UserDefaults
{
public:
    // The store reads back files far larger than other property lists: its
    // lists grow with the user. A change that would make the file larger than
    // this, or otherwise refused by its read, is not written: the file on disk
    // always holds the last settings the store can read back.
    static constexpr qint64 maxFileSize = 64 * 1024 * 1024;

    explicit UserDefaults(const QString &filePath);

    // The user's store: $XDG_CONFIG_HOME/Quillmere/Quillmere.plist.
    static UserDefaults &standard();

    QString filePath() const { return m_filePath; }

    std::optional<bool> boolValue(const QString &key) const;
    std::optional<QString> string(const QString &key) const;
    // Nothing unless the value is a list whose every element is a string.
    std::optional<QStringList> stringList(const QString &key) const;
    std::optional<QDateTime> date(const QString &key) const;
    bool contains(const QString &key) const;

    // A value of the stored type, or the default for an absent or mistyped key.
    bool boolValue(const QString &key, bool defaultValue) const;

    void setBool(const QString &key, bool value);
    void setString(const QString &key, const QString &value);
    void setStringList(const QString &key, const QStringList &value);
    void setDate(const QString &key, const QDateTime &value);
    // Stores any plist-representable value as it is (tests store wrong types with it).
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

private:
    QVariant value(const QString &key) const;
    void loadLocked() const;
    void saveLocked();
    bool setAsideUnreadableLocked();

    QString m_filePath;
    mutable QMutex m_mutex;
    mutable bool m_loaded = false;
    // The file was there but could not be read: it is moved aside before the
    // first write replaces it, so the user's other settings are not lost for good.
    mutable bool m_unreadableOnDisk = false;
    mutable QVariantMap m_values;
};
