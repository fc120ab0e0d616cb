#include "core/AppLanguage.h"
#include "core/LanguageManager.h"
#include "core/LocalizationTables.h"
#include "platform/UserDefaults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>


namespace {
const QStringList kNotTranslated{QStringLiteral("remove_app_partial"), QStringLiteral("trash_partial")};

// The placeholders of a text in order ("@d"), or "!" where a "%" starts anything
// the formatter does not read: a typo such as "% d" or "%s" in a translation.
QString placeholders(const QString &text)
{
    QString kinds;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'%')
            continue;
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (next == u'@' || next == u'd')
            kinds.append(next);
        else if (next != u'%')
            return QStringLiteral("!");
        ++i;
    }
    return kinds;
}

QString sortedKinds(QString kinds)
{
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

// A settings file of its own, away from the user's store.
struct Fixture
{
    QTemporaryDir dir;
    UserDefaults defaults{dir.filePath(QStringLiteral("defaults.plist"))};
    // What a fresh process would read from the file.
    UserDefaults reread() const { return UserDefaults(defaults.filePath()); }
};
}

class TestLocalization : public QObject
{
    Q_OBJECT
private slots:
    void tableMatchesEnglish_data()
    {
        QTest::addColumn<QString>("code");
        // Every language but the system choice needs a table.
        for (AppLanguage language : AppLanguages::allCases()) {
            if (language != AppLanguage::system)
                QTest::newRow(qPrintable(AppLanguages::rawValue(language))) << AppLanguages::rawValue(language);
        }
    }
    void tableMatchesEnglish()
    {
        QFETCH(QString, code);
        QStringList englishKeys = LocalizationTables::keys(QStringLiteral("en"));
        QCOMPARE(englishKeys.removeDuplicates(), 0);

        QStringList expectedKeys = englishKeys;
        if (code != QLatin1String("en")) {
            for (const QString &key : kNotTranslated)
                QVERIFY(expectedKeys.removeOne(key));
        }
        QCOMPARE(LocalizationTables::keys(code), expectedKeys);

        const auto *english = LocalizationTables::table(QStringLiteral("en"));
        const auto *table = LocalizationTables::table(code);
        QVERIFY(english && table);
        for (const QString &key : expectedKeys) {
            const QString text = table->value(key);
            QVERIFY2(!text.trimmed().isEmpty(), qPrintable(key));
            const QString own = placeholders(text);
            QVERIFY2(own != QLatin1String("!"), qPrintable(key + ": " + text));
            // Same number and kind; the order may follow the language's wording.
            QVERIFY2(sortedKinds(own) == sortedKinds(placeholders(english->value(key))),
                     qPrintable(key + ": " + text));
        }
    }

    void format_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("expected");
        const QString foo = QStringLiteral("Foo");
        QTest::newRow("integer passed first") << "%@: %d" << QVariantList{7, foo} << "Foo: 7";
        QTest::newRow("same kind keeps order") << "%d done, %d failed" << QVariantList{5, 2} << "5 done, 2 failed";
        QTest::newRow("wide and unsigned") << "%d / %d" << QVariantList{qint64(-5000000000), quint64(18446744073709551615u)}
                                           << "-5000000000 / 18446744073709551615";
        QTest::newRow("argument text verbatim") << "Scanning %@…" << QVariantList{QStringLiteral("100%d %@ %s")}
                                                << "Scanning 100%d %@ %s…";
        QTest::newRow("percent sign") << "%d%% of %@" << QVariantList{50, foo} << "50% of Foo";
        QTest::newRow("missing argument stays") << "%d items for %@" << QVariantList{} << "%d items for %@";
        QTest::newRow("printf specs not read") << "%s %n %x %5d %" << QVariantList{foo, 1}
                                               << "%s %n %x %5d %";
    }
    void format()
    {
        QFETCH(QString, text);
        QFETCH(QVariantList, args);
        QFETCH(QString, expected);
        QCOMPARE(LanguageManager::format(text, args), expected);
    }

    void resolveSystemLanguage_data()
    {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("expected");
        QTest::newRow("traditional chinese") << QStringList{"zh-Hant-TW"} << "zh-Hans";
        QTest::newRow("european portuguese") << QStringList{"pt-PT"} << "pt-BR";
        QTest::newRow("unsupported then german") << QStringList{"nl-NL", "de-DE"} << "de";
        QTest::newRow("unsupported alone") << QStringList{"nl-NL"} << "en";
        QTest::newRow("case matters") << QStringList{"DE-de", "fr-FR"} << "fr";
        QTest::newRow("first match wins") << QStringList{"ja-JP", "de"} << "ja";
        QTest::newRow("underscore form") << QStringList{"uk_UA"} << "uk";
        QTest::newRow("short and empty tags") << QStringList{"", "r", "ru"} << "ru";
    }
    void resolveSystemLanguage()
    {
        QFETCH(QStringList, preferred);
        QFETCH(QString, expected);
        QCOMPARE(LanguageManager::resolveSystemLanguageCode(preferred), expected);
    }

    void storedLanguage_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
        QTest::addColumn<int>("expected");
        const int system = int(AppLanguage::system);
        QTest::newRow("pt-BR") << QVariant(QStringLiteral("pt-BR")) << int(AppLanguage::ptBR);
        QTest::newRow("bare pt") << QVariant(QStringLiteral("pt")) << system;
        QTest::newRow("nothing") << QVariant() << system;
    }
    void storedLanguage()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        Fixture f;
        if (stored.isValid())
            f.defaults.setValue(QStringLiteral("appLanguage"), stored);
        LanguageManager lm(f.defaults);
        QCOMPARE(int(lm.language()), expected);
        // Reading never writes back, not even a correction.
        UserDefaults onDisk = f.reread();
        QCOMPARE(onDisk.contains(QStringLiteral("appLanguage")), stored.isValid());
    }

    void setLanguageStores()
    {
        Fixture f;
        LanguageManager lm(f.defaults);
        QSignalSpy changed(&lm, &LanguageManager::languageChanged);

        lm.setLanguage(AppLanguage::de);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(f.reread().string(QStringLiteral("appLanguage")), std::optional<QString>(QStringLiteral("de")));
        QCOMPARE(lm.localized(QStringLiteral("cancel")), QStringLiteral("Abbrechen"));

        // Assigning the value already held still stores it.
        f.defaults.remove(QStringLiteral("appLanguage"));
        lm.setLanguage(AppLanguage::de);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(f.reread().string(QStringLiteral("appLanguage")), std::optional<QString>(QStringLiteral("de")));

        lm.setProperty("language", QVariant::fromValue(AppLanguage::system));
        QCOMPARE(lm.language(), AppLanguage::system);
        QCOMPARE(f.reread().string(QStringLiteral("appLanguage")),
                 std::optional<QString>(QStringLiteral("system")));
    }

    void fallbacks()
    {
        Fixture f;
        LanguageManager lm(f.defaults);
        lm.setLanguage(AppLanguage::de);
        const QString english = LocalizationTables::table("en")->value("trash_partial");
        QCOMPARE(lm.localized(QStringLiteral("trash_partial")), english);
        QCOMPARE(lm.localized(QStringLiteral("no_such_key")), QStringLiteral("no_such_key"));
    }

    // A chosen language formats numbers in that language, whatever the system locale, and its texts take the
    // count first and the name second, as the English text names them. Empty: not checked.
    void chosenLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("found");
        QTest::newRow("uk") << "uk" << "" << "Знайдено елементів для Foo: 3.";
        QTest::newRow("zh-Hans") << "zh-Hans" << "zh_CN" << "找到 Foo 的 3 个项目。";
        QTest::newRow("pt-BR") << "pt-BR" << "pt_BR" << "";
    }
    void chosenLanguage()
    {
        QFETCH(QString, code);
        QFETCH(QString, locale);
        QFETCH(QString, found);
        Fixture f;
        LanguageManager lm(f.defaults);
        lm.setSystemLocaleProvider([] { return QLocale(QLocale::French, QLocale::France); });
        lm.setLanguage(*AppLanguages::fromRawValue(code));
        if (!locale.isEmpty())
            QCOMPARE(lm.locale().name(), locale);
        if (!found.isEmpty())
            QCOMPARE(lm.localized(QStringLiteral("scan_found_n_files"), {3, QStringLiteral("Foo")}), found);
    }

    // With the system choice, texts follow the preferred languages as they change, and
    // numbers the system locale, which need not match them.
    void systemChoiceFollowsTheSystem()
    {
        Fixture f;
        LanguageManager lm(f.defaults);
        QStringList preferred{"de-DE"};
        lm.setPreferredLanguagesProvider([&preferred] { return preferred; });
        lm.setSystemLocaleProvider([] { return QLocale(QLocale::French, QLocale::France); });
        QCOMPARE(lm.localized(QStringLiteral("cancel")), QStringLiteral("Abbrechen"));
        preferred = {"ja-JP"};
        QCOMPARE(lm.localized(QStringLiteral("cancel")), QStringLiteral("キャンセル"));
        QCOMPARE(lm.locale(), QLocale(QLocale::French, QLocale::France));
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
