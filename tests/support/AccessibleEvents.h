#pragma once

#include <QAccessible>
#include <QList>
#include <QStringList>

#include <utility>

// The accessibility events sent while it lives, each as its type and the name
// its object then had. Heard only on a platform whose accessibility layer is on
// (the tests' own "accessibleoffscreen"); elsewhere Qt drops them unsent.
class AccessibleEvents
{
public:
    AccessibleEvents()
    {
        s_events = &m_events;
        m_previous = QAccessible::installUpdateHandler(&AccessibleEvents::record);
    }
    ~AccessibleEvents()
    {
        QAccessible::installUpdateHandler(m_previous);
        s_events = nullptr;
    }
    AccessibleEvents(const AccessibleEvents &) = delete;
    AccessibleEvents &operator=(const AccessibleEvents &) = delete;

    QStringList named(QAccessible::Event type) const
    {
        QStringList names;
        for (const auto &[eventType, name] : m_events)
            if (eventType == type)
                names << name;
        return names;
    }
    void clear() { m_events.clear(); }

private:
    static void record(QAccessibleEvent *event)
    {
        QAccessibleInterface *iface = event->accessibleInterface();
        if (s_events && iface)
            s_events->append({event->type(), iface->text(QAccessible::Name)});
    }
    static inline QList<std::pair<QAccessible::Event, QString>> *s_events = nullptr;
    QList<std::pair<QAccessible::Event, QString>> m_events;
    QAccessible::UpdateHandler m_previous = nullptr;
};
