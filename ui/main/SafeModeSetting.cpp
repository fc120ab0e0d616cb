#include "ui/main/SafeModeSetting.h"

#include "platform/UserDefaults.h"

#include <QHash>

SafeModeSetting::SafeModeSetting(UserDefaults &defaults)
    : m_defaults(defaults)
{
}

SafeModeSetting &SafeModeSetting::forStore(UserDefaults &defaults)
{
    // Kept for the life of the process, like the stores themselves.
    static QHash<UserDefaults *, SafeModeSetting *> settings;
    SafeModeSetting *&setting = settings[&defaults];
    if (!setting)
        setting = new SafeModeSetting(defaults);
    return *setting;
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
