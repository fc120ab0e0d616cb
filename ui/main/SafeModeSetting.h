#pragma once

#include <QObject>

class UserDefaults;

// Safe Mode, stored under "safeMode" (on while absent). One object per store
// for the whole process, so every main window sees a change at once.
class SafeModeSetting : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *key = "safeMode";

    // The process-wide object of `defaults`; created on first use (main thread).
    static SafeModeSetting &forStore(UserDefaults &defaults);

    bool value() const;
    void setValue(bool on);

signals:
    void valueChanged(bool on);

private:
    explicit SafeModeSetting(UserDefaults &defaults);

    UserDefaults &m_defaults;
};
