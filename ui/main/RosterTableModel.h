#pragma once

#include "model/InstalledApp.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QFont>
#include <QList>
#include <QLocale>
#include <QPointer>

class FileIconSource;

// The roster table's rows: the filtered, sorted applications. A new list that
// holds the same applications in the same order (a size arriving) updates only
// the rows that changed; the same applications in another order move the rows,
// keeping selection and scroll; anything else replaces the rows.
class RosterTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { appColumn, versionColumn, sizeColumn, lastLaunchedColumn, columnCount_ };
    // The App column's second line.
    static constexpr int bundleIDRole = Qt::UserRole;

    explicit RosterTableModel(QObject *parent = nullptr);

    // Icons come from `source` as they are read; none without one.
    void setIconSource(FileIconSource *source);
    // The window's language: sizes are written in it.
    void setLocale(const QLocale &locale);
    void setApps(const QList<InstalledApp> &apps);
    // Replaces the row of `app`'s id, when it has one.
    void updateApp(const InstalledApp &app);
    const QList<InstalledApp> &apps() const { return m_apps; }
    QUuid idAt(int row) const;
    // -1 when no row has this id.
    int rowOf(const QUuid &id) const { return m_rows.value(id, -1); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void indexRows();
    void iconReady(const QString &path);

    QList<InstalledApp> m_apps;
    QHash<QUuid, int> m_rows;
    QPointer<FileIconSource> m_icons;
    QLocale m_locale;
    // Sizes line up digit under digit.
    QFont m_sizeFont;
};
