#pragma once

#include "core/AppLanguage.h"

#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

class UserDefaults;

// The interface language of the whole application: the user's choice, kept
// under "appLanguage" in the user defaults, and the lookup of status texts in
// the string tables (current language, then English, then the key itself).
// Lives on the main thread.
class LanguageManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(AppLanguage language READ language WRITE setLanguage NOTIFY languageChanged)

public:
    // Reads the stored choice; a missing or unknown value reads as the system language.
    // Nothing is written back here.
    explicit LanguageManager(UserDefaults &defaults, QObject *parent = nullptr);

    // The one manager of the process, on UserDefaults::standard(); created on first use.
    static LanguageManager &shared();

    AppLanguage language() const { return m_language; }
    // Every assignment, also of the current value, notifies and then stores the choice.
    void setLanguage(AppLanguage language);

    // The code of the table lookups use; for the system choice resolved afresh on each call.
    QString currentLanguageCode() const;

    // The text of a key in the current language, else in English, else the key itself.
    QString localized(const QString &key) const;
    // The looked-up text filled with args by format().
    QString localized(const QString &key, const QVariantList &args) const;

    // Fills "%@" with text arguments and "%d" with integer arguments, each kind
    // in its own order: the n-th "%@" takes the n-th text argument and the n-th
    // "%d" the n-th integer argument, wherever the wording places them. "%%" is
    // a percent sign. A placeholder without an argument of its kind stays as it
    // is; any other "%" sequence is copied literally; surplus arguments are ignored.
    static QString format(const QString &text, const QVariantList &args);

    // The locale views format with: the chosen language's, or for the system
    // choice the user's current locale (not one made from the resolved code).
    QLocale locale() const;

    // The supported code that best fits the preferred languages (ordered language tags); "en" if none does.
    static QString resolveSystemLanguageCode(const QStringList &preferredLanguages);
    // The same over the user's preferred languages as this manager sees them.
    QString resolveSystemLanguageCode() const;

    // Where the user's preferred languages and current locale come from
    // (default: the platform's). Tests substitute their own; an empty function restores the default.
    void setPreferredLanguagesProvider(std::function<QStringList()> provider);
    void setSystemLocaleProvider(std::function<QLocale()> provider);

signals:
    void languageChanged();

private:
    QStringList preferredLanguages() const;

    UserDefaults &m_defaults;
    AppLanguage m_language = AppLanguage::system;
    std::function<QStringList()> m_preferredLanguages;
    std::function<QLocale()> m_systemLocale;
};
