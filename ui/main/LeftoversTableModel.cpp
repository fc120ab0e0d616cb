#include "ui/main/LeftoversTableModel.h"

#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/main/LeftoversRules.h"

#include <QDir>

LeftoversTableModel::LeftoversTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_home(QDir::homePath())
    , m_sizeFont(UiStyle::monospacedFont(UiStyle::TextStyle::body))
{
}

void LeftoversTableModel::setItems(QList<LeftoverItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

void LeftoversTableModel::setLocale(const QLocale &locale)
{
    m_locale = locale;
    if (!m_items.isEmpty())
        emit dataChanged(index(0, sizeColumn), index(int(m_items.size()) - 1, sizeColumn));
}

QUuid LeftoversTableModel::idAt(int row) const
{
    return row >= 0 && row < m_items.size() ? m_items.at(row).id : QUuid();
}

int LeftoversTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int LeftoversTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QIcon LeftoversTableModel::typeIcon(LeftoverType type) const
{
    auto found = m_typeIcons.constFind(type);
    if (found == m_typeIcons.cend())
        found = m_typeIcons.insert(type, SymbolIcon::icon(LeftoverTypes::icon(type), UiStyle::color(UiStyle::Tone::secondary)));
    return *found;
}

QVariant LeftoversTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const LeftoverItem &item = m_items.at(index.row());
    using UiStyle::TextStyle;
    using UiStyle::Tone;
    switch (index.column()) {
    case appColumn:
        switch (role) {
        case Qt::DisplayRole: return item.appName;
        case bundleIDRole: return item.bundleID.value_or(QString());
        case Qt::FontRole: return UiStyle::font(TextStyle::body, QFont::Medium);
        }
        break;
    case typeColumn:
        switch (role) {
        case Qt::DisplayRole: return tr(qPrintable(LeftoverTypes::rawValue(item.type)));
        case Qt::DecorationRole: return typeIcon(item.type);
        case Qt::FontRole: return UiStyle::font(TextStyle::caption);
        case Qt::ForegroundRole: return UiStyle::color(Tone::secondary);
        }
        break;
    case sizeColumn:
        switch (role) {
        case Qt::DisplayRole: return LeftoversRules::sizeText(item.size, m_locale);
        case Qt::FontRole: return m_sizeFont;
        case Qt::ForegroundRole:
            switch (LeftoversRules::sizeTone(item.size)) {
            case LeftoversRules::SizeTone::red: return UiStyle::color(Tone::red);
            case LeftoversRules::SizeTone::orange: return UiStyle::color(Tone::orange);
            case LeftoversRules::SizeTone::primary: return UiStyle::color(Tone::primary);
            }
            break;
        }
        break;
    case locationColumn:
        switch (role) {
        case Qt::DisplayRole: return item.displayPath(m_home);
        case Qt::ToolTipRole:
            return OutsideText::toolTip(item.path.value_or(item.permissionService.value_or(QString())));
        case Qt::FontRole: return UiStyle::font(TextStyle::caption);
        case Qt::ForegroundRole: return UiStyle::color(Tone::secondary);
        }
        break;
    }
    return {};
}

QVariant LeftoversTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case appColumn: return tr("App");
    case typeColumn: return tr("Type");
    case sizeColumn: return tr("Size");
    case locationColumn: return tr("Location / Permission");
    }
    return {};
}
