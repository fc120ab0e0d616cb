#pragma once

#include "platform/PlistOutline.h"

#include <QDateTime>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
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
    // always holds the last settings the store can read back, with every later
    // change that can be written. This process keeps the change.
    // A file past the bounds of the read still gives every setting that fits
    // within them (lists cut short at the bound), and is set aside whole before
    // the first write replaces it; so is a file whose text does not read as it
    // stands (see PropertyList::Loss).
    static constexpr qint64 maxFileSize = 64 * 1024 * 1024;
    // Room the lists leave for the other settings, so that a switch can still
    // be written when the lists have filled the store.
    static constexpr PlistOutline::Counts settingsRoom{1024, 0, 64 * 1024};

    // Receives one line for what the store could not do: a file read only in
    // part, a file set aside, a change not written. Called with the store
    // locked, from the thread that used it: it must not use this store.
    using ProblemLog = std::function<void(const QString &message)>;

    explicit UserDefaults(const QString &filePath);

    void setProblemLog(ProblemLog log);

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
    enum class OnDisk { Read, Unreadable, PartlyRead };

    QVariant value(const QString &key) const;
    void loadLocked() const;
    // Writes `values` in place of the file; false (and a line to the problem
    // log) when that cannot be done.
    bool saveLocked(const QVariantMap &values, const QString &key);
    // Applies `change` (of `key`) to what the file holds and writes that.
    void writeLocked(const QString &key, const std::function<void(QVariantMap &)> &change);
    // Renames the file to "<name>.<why>-<UTC time>" beside it; the new name,
    // empty when there was no file, nothing when the rename failed.
    std::optional<QString> setAsideLocked(const QString &why);
    void report(const QString &message) const;

    QString m_filePath;
    mutable QMutex m_mutex;
    ProblemLog m_problemLog;
    mutable bool m_loaded = false;
    // The file was there but could not be read, or only in part or with
    // losses: it is moved aside before the first write replaces it, so the
    // user's other settings are not lost for good.
    mutable OnDisk m_onDisk = OnDisk::Read;
    // What this process has set; the file may lack changes it could not write.
    mutable QVariantMap m_values;
    // What the file holds (or held when it was read): changes apply to it.
    mutable QVariantMap m_written;
};
