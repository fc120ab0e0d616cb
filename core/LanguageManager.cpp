#include "core/LanguageManager.h"

#include "core/LocalizationTables.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QThread>

namespace {
const QString kLanguageKey = QStringLiteral("appLanguage");
const QString kEnglish = QStringLiteral("en");

bool isInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

QString integerText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
        return QString::number(value.toULongLong());
    default:
        return QString::number(value.toLongLong());
    }
}
}

LanguageManager::LanguageManager(UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
{
    // A wrong-typed value reads as absent, and absent means the system language.
    const QString stored = m_defaults.string(kLanguageKey).value_or(QStringLiteral("system"));
    m_language = AppLanguages::fromRawValue(stored).value_or(AppLanguage::system);
}

LanguageManager &LanguageManager::shared()
{
    // Deliberately never destroyed: it lives for the whole process, and a
    // static QObject would otherwise be torn down after the application object.
    static LanguageManager *const instance = [] {
        auto *manager = new LanguageManager(UserDefaults::standard());
        if (auto *app = QCoreApplication::instance(); app && manager->thread() != app->thread())
            manager->moveToThread(app->thread());
        return manager;
    }();
    return *instance;
}

void LanguageManager::setLanguage(AppLanguage language)
{
    m_language = language;
    emit languageChanged();
    m_defaults.setString(kLanguageKey, AppLanguages::rawValue(language));
}

QString LanguageManager::currentLanguageCode() const
{
    if (m_language == AppLanguage::system)
        return resolveSystemLanguageCode();
    return AppLanguages::rawValue(m_language);
}

QString LanguageManager::localized(const QString &key) const
{
    if (const auto *table = LocalizationTables::table(currentLanguageCode())) {
        if (const auto it = table->constFind(key); it != table->cend())
            return *it;
    }
    if (const auto *english = LocalizationTables::table(kEnglish)) {
        if (const auto it = english->constFind(key); it != english->cend())
            return *it;
    }
    return key;
}

QString LanguageManager::localized(const QString &key, const QVariantList &args) const
{
    return format(localized(key), args);
}

// Table texts are never handed to printf-style formatting (QString::asprintf,
// vsnprintf): a translation that names its placeholders in another order than
// the English text would then bind an integer to "%@" or a text to "%d", and a
// stray "%s" or "%n" in a table text or a missing key would read memory it does
// not own. Qt has no formatter that binds by placeholder kind, so this small one
// reads only "%@", "%d" and "%%", takes each argument as a value, and inserts
// argument text verbatim (a "%d" inside an application name is not expanded).
QString LanguageManager::format(const QString &text, const QVariantList &args)
{
    QStringList texts;
    QStringList integers;
    for (const QVariant &arg : args) {
        if (isInteger(arg))
            integers.append(integerText(arg));
        else
            texts.append(arg.toString());
    }

    QString result;
    result.reserve(text.size() + 16 * args.size());
    qsizetype nextText = 0;
    qsizetype nextInteger = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'%' || i + 1 >= n) {
            result.append(c);
            continue;
        }
        const QChar spec = text.at(i + 1);
        if (spec == u'%') {
            result.append(u'%');
            ++i;
        } else if (spec == u'@' && nextText < texts.size()) {
            result.append(texts.at(nextText++));
            ++i;
        } else if (spec == u'd' && nextInteger < integers.size()) {
            result.append(integers.at(nextInteger++));
            ++i;
        } else {
            // Unknown sequence or no argument left: keep the text as written.
            result.append(c);
        }
    }
    return result;
}

QLocale LanguageManager::locale() const
{
    if (m_language == AppLanguage::system)
        return m_systemLocale ? m_systemLocale() : QLocale::system();
    return QLocale(AppLanguages::rawValue(m_language));
}

QString LanguageManager::resolveSystemLanguageCode(const QStringList &preferredLanguages)
{
    const QStringList &supported = LocalizationTables::codes();
    for (const QString &tag : preferredLanguages) {
        if (supported.contains(tag))
            return tag;
        for (const QString &code : supported) {
            if (tag.size() > code.size() && tag.startsWith(code) && tag.at(code.size()) == u'-')
                return code;
        }
        const QString prefix = tag.left(2);
        if (supported.contains(prefix))
            return prefix;
        if (prefix == QLatin1String("zh"))
            return QStringLiteral("zh-Hans");
        if (prefix == QLatin1String("pt"))
            return QStringLiteral("pt-BR");
    }
    return kEnglish;
}

QString LanguageManager::resolveSystemLanguageCode() const
{
    return resolveSystemLanguageCode(preferredLanguages());
}

void LanguageManager::setPreferredLanguagesProvider(std::function<QStringList()> provider)
{
    m_preferredLanguages = std::move(provider);
}

void LanguageManager::setSystemLocaleProvider(std::function<QLocale()> provider)
{
    m_systemLocale = std::move(provider);
}

QStringList LanguageManager::preferredLanguages() const
{
    if (m_preferredLanguages)
        return m_preferredLanguages();
    return QLocale::system().uiLanguages();
}
