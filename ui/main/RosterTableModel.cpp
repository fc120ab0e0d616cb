#include "ui/main/RosterTableModel.h"

#include "model/ByteCountFormatter.h"
#include "ui/common/FileIconSource.h"
#include "ui/common/OutsideText.h"
#include "ui/common/UiStyle.h"

namespace {

bool sameRecord(const InstalledApp &a, const InstalledApp &b)
{
    return a.name == b.name && a.bundleID == b.bundleID && a.path == b.path && a.version == b.version
        && a.appSize == b.appSize && a.lastLaunched == b.lastLaunched;
}

} // namespace

RosterTableModel::RosterTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_sizeFont(UiStyle::monospacedFont(UiStyle::TextStyle::body))
{
}

void RosterTableModel::setLocale(const QLocale &locale)
{
    m_locale = locale;
    if (!m_apps.isEmpty())
        emit dataChanged(index(0, sizeColumn), index(int(m_apps.size()) - 1, sizeColumn), {Qt::DisplayRole});
}

void RosterTableModel::setIconSource(FileIconSource *source)
{
    if (m_icons)
        disconnect(m_icons, nullptr, this, nullptr);
    m_icons = source;
    if (source)
        connect(source, &FileIconSource::iconReady, this, &RosterTableModel::iconReady);
}

void RosterTableModel::setApps(const QList<InstalledApp> &apps)
{
    const auto sameIdsInOrder = [&] {
        for (qsizetype i = 0; i < apps.size(); ++i) {
            if (apps.at(i).id != m_apps.at(i).id)
                return false;
        }
        return true;
    };
    const auto sameIds = [&] {
        for (const InstalledApp &app : apps) {
            if (!m_rows.contains(app.id))
                return false;
        }
        return true;
    };

    if (apps.size() != m_apps.size() || m_rows.size() != m_apps.size() || !sameIds()) {
        beginResetModel();
        m_apps = apps;
        indexRows();
        endResetModel();
        return;
    }
    if (!sameIdsInOrder()) {
        // The same rows in a new order: persistent indexes (selection, current row) follow them.
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        const QList<InstalledApp> old = m_apps;
        m_apps = apps;
        indexRows();
        for (const QModelIndex &index : before)
            after.append(this->index(m_rows.value(old.at(index.row()).id), index.column()));
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    for (qsizetype row = 0; row < apps.size(); ++row) {
        if (!sameRecord(apps.at(row), m_apps.at(row))) {
            m_apps[row] = apps.at(row);
            emit dataChanged(index(int(row), 0), index(int(row), columnCount_ - 1));
        }
    }
}

void RosterTableModel::updateApp(const InstalledApp &app)
{
    const int row = rowOf(app.id);
    if (row < 0)
        return;
    m_apps[row] = app;
    emit dataChanged(index(row, 0), index(row, columnCount_ - 1));
}

void RosterTableModel::indexRows()
{
    m_rows.clear();
    m_rows.reserve(m_apps.size());
    for (qsizetype row = 0; row < m_apps.size(); ++row)
        m_rows.insert(m_apps.at(row).id, int(row));
}

void RosterTableModel::iconReady(const QString &path)
{
    for (qsizetype row = 0; row < m_apps.size(); ++row) {
        if (m_apps.at(row).path == path)
            emit dataChanged(index(int(row), appColumn), index(int(row), appColumn), {Qt::DecorationRole});
    }
}

QUuid RosterTableModel::idAt(int row) const
{
    return row >= 0 && row < m_apps.size() ? m_apps.at(row).id : QUuid();
}

int RosterTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

int RosterTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QVariant RosterTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_apps.size())
        return {};
    const InstalledApp &app = m_apps.at(index.row());
    const bool unsized = app.appSize < 0;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case appColumn: return app.name;
        case versionColumn: return app.version.value_or(QStringLiteral("\u2014"));
        case sizeColumn: return unsized ? QStringLiteral("\u2026") : ByteCountFormatter::string(app.appSize, m_locale);
        case lastLaunchedColumn: return app.lastLaunchedText();
        }
        break;
    case bundleIDRole:
        return app.bundleID;
    case Qt::DecorationRole:
        if (index.column() == appColumn && m_icons)
            return m_icons->icon(app.path);
        break;
    case Qt::FontRole:
        if (index.column() == sizeColumn)
            return m_sizeFont;
        break;
    case Qt::ToolTipRole:
        if (index.column() == appColumn)
            return OutsideText::toolTip(app.path);
        break;
    case Qt::ForegroundRole:
        switch (index.column()) {
        case versionColumn: return UiStyle::color(UiStyle::Tone::secondary);
        case sizeColumn:
            return unsized ? UiStyle::color(UiStyle::Tone::secondary, 0.5) : UiStyle::color(UiStyle::Tone::primary);
        case lastLaunchedColumn:
            return app.lastLaunched ? UiStyle::color(UiStyle::Tone::secondary) : UiStyle::color(UiStyle::Tone::secondary, 0.5);
        }
        break;
    }
    return {};
}

QVariant RosterTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case appColumn: return tr("App");
    case versionColumn: return tr("Version");
    case sizeColumn: return tr("App Size");
    case lastLaunchedColumn: return tr("Last Launched");
    }
    return {};
}
