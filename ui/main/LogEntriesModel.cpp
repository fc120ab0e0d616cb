#include "ui/main/LogEntriesModel.h"

#include <QFontMetrics>

LogEntriesModel::LogEntriesModel(const QFont &font, QObject *parent)
    : QAbstractListModel(parent)
    , m_font(font)
{
}

void LogEntriesModel::setEntries(const QStringList &entries)
{
    const int before = int(m_entries.size());
    const int after = int(entries.size());
    if (after > before)
        beginInsertRows({}, before, after - 1);
    else if (after < before)
        beginRemoveRows({}, after, before - 1);
    m_entries = entries;
    // The longest line by characters is near enough the widest in a fixed-pitch font.
    qsizetype longest = -1;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (longest < 0 || m_entries.at(i).size() > m_entries.at(longest).size())
            longest = i;
    }
    const QFontMetrics metrics(m_font);
    m_rowSize = QSize(longest < 0 ? 0 : metrics.horizontalAdvance(m_entries.at(longest)) + 8, metrics.height());
    if (after > before)
        endInsertRows();
    else if (after < before)
        endRemoveRows();
    const int kept = qMin(before, after);
    if (kept > 0)
        emit dataChanged(index(0), index(kept - 1));
}

int LogEntriesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant LogEntriesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // Verbatim: never looked up as a text of the language tables.
        return m_entries.at(index.row());
    case Qt::FontRole:
        return m_font;
    case Qt::SizeHintRole:
        return m_rowSize;
    }
    return {};
}
