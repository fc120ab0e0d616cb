#pragma once

#include <QObject>

#include <memory>

class UserDefaults;

// Safe Mode, stored under "safeMode" (on while absent). One object per store
// while any window holds it, so every main window sees a change at once.
class SafeModeSetting : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *key = "safeMode";

    // The shared object of `defaults`, made when no window holds one (main thread).
    static std::shared_ptr<SafeModeSetting> forStore(UserDefaults &defaults);

    bool value() const;
    void setValue(bool on);

signals:
    void valueChanged(bool on);

private:
    explicit SafeModeSetting(UserDefaults &defaults);

    UserDefaults &m_defaults;
};
