#include "ui/main/SafeModeSetting.h"

#include "platform/UserDefaults.h"

#include <QHash>

SafeModeSetting::SafeModeSetting(UserDefaults &defaults)
    : m_defaults(defaults)
{
}

std::shared_ptr<SafeModeSetting> SafeModeSetting::forStore(UserDefaults &defaults)
{
    // Held by the windows only: once the last one is gone, a later store at the
    // same address gets an object of its own, never one bound to a freed store.
    static QHash<UserDefaults *, std::weak_ptr<SafeModeSetting>> settings;
    std::shared_ptr<SafeModeSetting> setting = settings.value(&defaults).lock();
    if (!setting) {
        settings.removeIf([](const auto &entry) { return entry.value().expired(); });
        setting.reset(new SafeModeSetting(defaults));
        settings.insert(&defaults, setting);
    }
    return setting;
}

bool SafeModeSetting::value() const
{
    return m_defaults.boolValue(QString::fromLatin1(key), true);
}

void SafeModeSetting::setValue(bool on)
{
    if (on == value())
        return;
    m_defaults.setBool(QString::fromLatin1(key), on);
    emit valueChanged(on);
}
