#include "platform/Trash.h"

#include <QtTest>

#include <cstdio>
#include <cstring>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString infoPathOf(const QString &trashedPath)
{
    const QFileInfo f(trashedPath);
    return QFileInfo(f.path()).path() + QStringLiteral("/info/") + f.fileName() + QStringLiteral(".trashinfo");
}

QString resultLine(const std::optional<TrashError> &error, const QString &trashed)
{
    if (error)
        return QStringLiteral("error %1 %2").arg(error->domain).arg(error->code);
    return QStringLiteral("ok ") + trashed;
}

// Every path below `folder`, sorted.
QStringList tree(const QString &folder)
{
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    return paths;
}

// Helper modes: the test binary started again as another user, or in its own mount namespace.
std::optional<int> runHelper(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--trash-as-helper") == 0) {
        QString trashed;
        const auto error = Trash(QFile::decodeName(argv[2])).moveToTrash(QFile::decodeName(argv[3]), &trashed);
        std::puts(resultLine(error, trashed).toUtf8().constData());
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--trash-volume-helper") == 0) {
        const QString dir = QFile::decodeName(argv[2]);
        const QString scenario = QString::fromLatin1(argv[3]);
        const QString vol = dir + QStringLiteral("/vol");
        QDir().mkpath(vol);
        if (::mount("quillmere-test", QFile::encodeName(vol).constData(), "tmpfs", 0, nullptr) != 0) {
            std::puts("nomount");
            return 0;
        }
        const QByteArray shared = QFile::encodeName(vol + QStringLiteral("/.Trash"));
        if (scenario == QLatin1String("sticky") || scenario == QLatin1String("not sticky")) {
            ::mkdir(shared.constData(), 0777);
            ::chmod(shared.constData(), scenario == QLatin1String("sticky") ? 01777 : 0777);
        } else if (scenario == QLatin1String("symbolic link")) {
            const QByteArray elsewhere = QFile::encodeName(vol + QStringLiteral("/elsewhere"));
            ::mkdir(elsewhere.constData(), 0777);
            ::chmod(elsewhere.constData(), 01777);
            QFile::link(vol + QStringLiteral("/elsewhere"), vol + QStringLiteral("/.Trash"));
        } else if (scenario == QLatin1String("unusable")) {
            writeFile(vol + QStringLiteral("/.Trash-%1").arg(::getuid()), "not a folder");
        }
        QString item = vol + QStringLiteral("/data/it's here");
        writeFile(item, "hello");
        if (scenario == QLatin1String("mount point")) {
            item = vol + QStringLiteral("/data/mounted");
            QDir().mkpath(item);
            ::mount("quillmere-test", QFile::encodeName(item).constData(), "tmpfs", 0, nullptr);
        } else if (scenario == QLatin1String("full")) {
            ::mount("quillmere-test", QFile::encodeName(vol).constData(), "tmpfs", MS_REMOUNT, "size=64k");
            QFile filler(vol + QStringLiteral("/filler"));
            filler.open(QIODevice::WriteOnly);
            while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
            }
        }
        const QStringList before = tree(vol);
        QString trashed;
        const auto error = Trash(dir + QStringLiteral("/home/Trash")).moveToTrash(item, &trashed);
        QStringList report{resultLine(error, trashed.mid(vol.size() + 1)),
                           QStringLiteral("original %1").arg(QFileInfo::exists(item)),
                           QStringLiteral("unchanged %1").arg(tree(vol) == before)};
        if (!error) {
            const QString path = QString::fromUtf8(readAll(infoPathOf(trashed)).split('\n').value(1));
            report << QString(path).replace(QString::fromUtf8(QFile::encodeName(vol).toPercentEncoding("/")), "@")
                   << QString::fromUtf8(readAll(trashed));
        }
        report << QStringLiteral("home trash %1").arg(QFileInfo::exists(dir + QStringLiteral("/home/Trash")));
        std::puts(report.join(QStringLiteral("; ")).toUtf8().constData());
        return 0;
    }
    return std::nullopt;
}

}

class TestTrash : public QObject
{
    Q_OBJECT
private slots:
    // The move itself, into a Trash made private on the way, and its restore
    // information. A link goes itself, never what it points to.
    void percentEncodedPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("encoded");
        QTest::addColumn<bool>("danglingLink");
        QTest::newRow("unreserved kept") << "a-b_c.d~e" << QByteArray("a-b_c.d~e") << false;
        QTest::newRow("encoded") << QStringLiteral("it's \"x\" a%b#c?\n\u00e9")
                                 << QByteArray("it%27s%20%22x%22%20a%25b%23c%3F%0A%C3%A9") << false;
        QTest::newRow("dangling link") << "link" << QByteArray("link") << true;
    }
    void percentEncodedPath()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, encoded);
        QFETCH(bool, danglingLink);
        QTemporaryDir tmp;
        const QString folder = tmp.path() + QStringLiteral("/src");
        const QString item = folder + QLatin1Char('/') + name;
        QDir().mkpath(folder);
        QVERIFY(danglingLink ? QFile::link(tmp.path() + QStringLiteral("/gone"), item)
                             : QFile(item).open(QIODevice::WriteOnly));
        const QString trashPath = tmp.path() + QStringLiteral("/data/share/Trash");
        Trash trash(trashPath);
        QString trashed;
        QVERIFY(!trash.moveToTrash(item, &trashed));

        QCOMPARE(trashed, trash.filesPath() + QLatin1Char('/') + name);
        QCOMPARE(QFileInfo(trashed).isSymLink(), danglingLink);
        QVERIFY(!QFileInfo(item).isSymLink() && !QFileInfo::exists(item));
        const QList<QByteArray> lines = readAll(infoPathOf(trashed)).split('\n');
        const QByteArray path = "Path=" + QFile::encodeName(folder) + '/' + encoded;
        QCOMPARE(lines.mid(0, 2), (QList<QByteArray>{"[Trash Info]", path}));
        const QDateTime date = QDateTime::fromString(QString::fromLatin1(lines.value(2)),
                                                     QStringLiteral("'DeletionDate='yyyy-MM-dd'T'HH:mm:ss"));
        QVERIFY(date.isValid() && qAbs(date.secsTo(QDateTime::currentDateTime())) < 5);
        for (const QString &sub : {QStringLiteral("/files"), QStringLiteral("/info"), QString()}) {
            struct stat st;
            QCOMPARE(::lstat(QFile::encodeName(trashPath + sub).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, 0700u);
        }
    }

    void namesNeverOverwrite_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("orphan"); // already in the Trash without restore information
        QTest::addColumn<QStringList>("trashedNames");
        QTest::newRow("extension") << "report.pdf" << false << QStringList{"report.pdf", "report 2.pdf", "report 3.pdf"};
        QTest::newRow("no extension") << "notes" << false << QStringList{"notes", "notes 2", "notes 3"};
        QTest::newRow("hidden file") << ".profile" << false << QStringList{".profile", ".profile 2", ".profile 3"};
        // Shortened to fit beside its ".trashinfo" in a 255-byte name.
        const QString n241(241, QLatin1Char('n')), n239(239, QLatin1Char('n'));
        QTest::newRow("long name") << QString(250, QLatin1Char('n')) + ".txt" << false
                                   << QStringList{n241 + ".txt", n239 + " 2.txt", n239 + " 3.txt"};
        // An extension that leaves no room is shortened with the name, whole characters at a time.
        const QString e = QStringLiteral("\u00e9");
        QTest::newRow("long extension") << "n." + e.repeated(126) + "e" << false
                                        << QStringList{"n." + e.repeated(121), "n." + e.repeated(120) + " 2",
                                                       "n." + e.repeated(120) + " 3"};
        QTest::newRow("orphan in the Trash") << "orphan" << true << QStringList{"orphan 2", "orphan 3"};
    }
    void namesNeverOverwrite()
    {
        QFETCH(QString, name);
        QFETCH(bool, orphan);
        QFETCH(QStringList, trashedNames);
        QTemporaryDir tmp;
        Trash trash(tmp.path() + QStringLiteral("/Trash"));
        if (orphan)
            writeFile(trash.filesPath() + QLatin1Char('/') + name, "old");
        const QString item = tmp.path() + QStringLiteral("/src/") + name;
        QStringList got;
        for (int i = 0; i < trashedNames.size(); ++i) {
            writeFile(item, QByteArray::number(i));
            QString trashed;
            QVERIFY(!trash.moveToTrash(item, &trashed));
            got << QFileInfo(trashed).fileName();
        }
        QCOMPARE(got, trashedNames);
        QStringList infos;
        for (int i = 0; i < trashedNames.size(); ++i) {
            QCOMPARE(readAll(trash.filesPath() + QLatin1Char('/') + trashedNames[i]), QByteArray::number(i));
            infos << trashedNames[i] + QStringLiteral(".trashinfo");
        }
        infos.sort();
        QCOMPARE(entries(trash.homeTrashPath() + QStringLiteral("/info")), infos);
        if (orphan)
            QCOMPARE(readAll(trash.filesPath() + QLatin1Char('/') + name), QByteArray("old"));
    }

    // A name too long to sit beside its ".trashinfo" loses whole characters from its
    // end, whatever they are: never half a surrogate pair (which would be written as a
    // replacement character), never more than it must.
    void shortenedWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("trashedNames");
        // `prefix` then as many `character`s as a 255-byte name holds.
        const auto add = [](const QByteArray &row, const QString &prefix, const QString &character) {
            const qsizetype fixed = prefix.toUtf8().size();
            const qsizetype size = character.toUtf8().size();
            const auto name = [&](qsizetype bytes) { return prefix + character.repeated((bytes - fixed) / size); };
            QTest::newRow(row.constData()) << name(255) << QStringList{name(245), name(243) + QStringLiteral(" 2")};
        };
        for (char16_t c : {0x2066, 0x2067, 0x2068, 0x2069, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x0085, 0x2028, 0x2029})
            add("U+" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0'), QString(), QChar(c));
        for (const char *c : {"\n", "\r", "\t", "\v", "&"})
            add("ASCII " + QByteArray::number(int(*c)), QString(), QString::fromLatin1(c));
        // Four bytes and two UTF-16 units a character: the cut falls at each byte of one.
        for (int k = 0; k < 4; ++k)
            add("outside the BMP after " + QByteArray::number(k), QString(k, QLatin1Char('a')), QStringLiteral("\U0001F600"));
    }
    void shortenedWhole()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, trashedNames);
        QTemporaryDir tmp;
        Trash trash(tmp.path() + QStringLiteral("/Trash"));
        const QString item = tmp.path() + QStringLiteral("/src/") + name;
        QStringList got;
        for (int i = 0; i < trashedNames.size(); ++i) {
            writeFile(item, QByteArray::number(i));
            QVERIFY(QFileInfo::exists(item));
            QString trashed;
            QVERIFY(!trash.moveToTrash(item, &trashed));
            got << QFileInfo(trashed).fileName();
            QVERIFY(!trashed.contains(QChar::ReplacementCharacter));
            QCOMPARE(readAll(trashed), QByteArray::number(i));
        }
        QCOMPARE(got, trashedNames);
    }

    void failures_data()
    {
        const QString cocoa = QStringLiteral("NSCocoaErrorDomain");
        const QString trash = QStringLiteral("QuillmereTrashErrorDomain");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("code");
        QTest::newRow("missing item") << "missing" << cocoa << 4;
        QTest::newRow("missing folder") << "missing folder" << cocoa << 4;
        QTest::newRow("empty path") << "empty" << cocoa << 4;
        QTest::newRow("the root") << "root" << trash << int(TrashError::HoldsTrash);
        QTest::newRow("through a link and back") << "link dot dot" << trash << int(TrashError::NotClean);
        QTest::newRow("relative") << "relative" << trash << int(TrashError::NotClean);
        QTest::newRow("trash cannot be made") << "blocked trash" << trash << int(TrashError::TrashUnavailable);
        QTest::newRow("folder holding the trash") << "ancestor" << trash << int(TrashError::HoldsTrash);
        QTest::newRow("a volume's trash") << "volume trash" << trash << int(TrashError::HoldsTrash);
    }
    void failures()
    {
        QFETCH(QString, what);
        QFETCH(QString, domain);
        QFETCH(int, code);
        QTemporaryDir tmp;
        QString trashPath = tmp.path() + QStringLiteral("/Trash");
        const QString existing = tmp.path() + QStringLiteral("/src/file");
        writeFile(existing, "keep");
        // The kernel reads src/link/../file as elsewhere/file.
        const QString elsewhere = tmp.path() + QStringLiteral("/elsewhere/file");
        writeFile(elsewhere, "keep");
        QDir().mkpath(tmp.path() + QStringLiteral("/elsewhere/deep"));
        QFile::link(tmp.path() + QStringLiteral("/elsewhere/deep"), tmp.path() + QStringLiteral("/src/link"));
        const QMap<QString, QString> paths{
            {"missing", tmp.path() + "/src/none"},
            {"missing folder", existing + "/none"},
            {"root", "/"},
            {"link dot dot", tmp.path() + "/src/link/../file"},
            {"relative", "src/file"},
            {"ancestor", tmp.path() + "/src"},
            {"volume trash", tmp.path() + "/src/.Trash-" + QString::number(::getuid())},
        };
        QString path = paths.value(what);
        if (what == QLatin1String("blocked trash")) {
            writeFile(tmp.path() + QStringLiteral("/blocker"), "a file where a folder should be");
            trashPath = tmp.path() + QStringLiteral("/blocker/Trash");
            path = existing;
        } else if (what == QLatin1String("ancestor")) {
            trashPath = tmp.path() + QStringLiteral("/src/Trash");
        }
        QDir().mkpath(paths.value("volume trash"));

        QString trashed = QStringLiteral("untouched");
        const auto error = Trash(trashPath).moveToTrash(path, &trashed);
        QVERIFY(error);
        QCOMPARE(error->domain, domain);
        QCOMPARE(error->code, code);
        QVERIFY(!error->description.isEmpty());
        QCOMPARE(trashed, QStringLiteral("untouched"));
        QCOMPARE(readAll(existing), QByteArray("keep"));
        QCOMPARE(readAll(elsewhere), QByteArray("keep"));
        QVERIFY(!QFileInfo::exists(trashPath));
    }

    // Tests run as root, which may write anywhere: the denial is checked as "nobody".
    void noWritePermission()
    {
        QTemporaryDir tmp;
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 0755) == 0);
        const QString locked = tmp.path() + QStringLiteral("/locked/file");
        writeFile(locked, "keep");
        const QString own = tmp.path() + QStringLiteral("/own");
        QDir().mkpath(own);
        writeFile(own + QStringLiteral("/mine"), "mine");
        for (const QString &p : {own, own + QStringLiteral("/mine")})
            QVERIFY(::chown(QFile::encodeName(p).constData(), 65534, 65534) == 0);
        const QString trashPath = own + QStringLiteral("/Trash");

        const auto runAsNobody = [&](const QString &path, const QString &trash) {
            QProcess p;
            p.start(QStringLiteral("setpriv"),
                    {"--reuid=65534", "--regid=65534", "--clear-groups", QCoreApplication::applicationFilePath(),
                     "--trash-as-helper", trash, path});
            p.waitForFinished(-1);
            return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        };
        const QString allowed = runAsNobody(own + QStringLiteral("/mine"), trashPath);
        if (!allowed.startsWith(QLatin1String("ok ")))
            QSKIP("cannot run the test binary as an unprivileged user here");
        QCOMPARE(allowed, QStringLiteral("ok ") + trashPath + QStringLiteral("/files/mine"));

        QCOMPARE(runAsNobody(locked, trashPath), QStringLiteral("error NSCocoaErrorDomain 513"));
        QCOMPARE(readAll(locked), QByteArray("keep"));
        QCOMPARE(entries(trashPath + QStringLiteral("/info")), QStringList{"mine.trashinfo"});

        // A Trash the user cannot write is the Trash's failure, not a lack of rights on the item.
        const QString readOnlyTrash = tmp.path() + QStringLiteral("/readOnlyTrash");
        QDir().mkpath(readOnlyTrash + QStringLiteral("/files"));
        QDir().mkpath(readOnlyTrash + QStringLiteral("/info"));
        writeFile(own + QStringLiteral("/other"), "other");
        QCOMPARE(runAsNobody(own + QStringLiteral("/other"), readOnlyTrash),
                 QStringLiteral("error QuillmereTrashErrorDomain %1").arg(TrashError::TrashUnavailable));
        QCOMPARE(readAll(own + QStringLiteral("/other")), QByteArray("other"));
    }

    // Half a Trash is no Trash: when either of its folders cannot take its part,
    // the item stays, no restore information is left behind, and the failure is
    // the Trash's, which no caller hands to the administrator. Run as "nobody".
    void halfWritableTrash_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<bool>("readOnly"); // false: a file where the folder should be
        QTest::newRow("files read-only, info writable") << "files" << true;
        QTest::newRow("info read-only, files writable") << "info" << true;
        QTest::newRow("files is a file") << "files" << false;
        QTest::newRow("info is a file") << "info" << false;
    }
    void halfWritableTrash()
    {
        QFETCH(QString, broken);
        QFETCH(bool, readOnly);
        QTemporaryDir tmp;
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 0755) == 0);
        const QString own = tmp.path() + QStringLiteral("/own");
        const QString trashPath = own + QStringLiteral("/Trash");
        const QString item = own + QStringLiteral("/item");
        QDir().mkpath(trashPath + QStringLiteral("/files"));
        QDir().mkpath(trashPath + QStringLiteral("/info"));
        writeFile(item, "keep");
        const QString brokenPath = trashPath + QLatin1Char('/') + broken;
        if (!readOnly) {
            QVERIFY(QDir(brokenPath).removeRecursively());
            writeFile(brokenPath, "not a folder");
        }
        const QStringList owned = tree(own) << own;
        for (const QString &path : owned)
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        if (readOnly)
            QVERIFY(::chmod(QFile::encodeName(brokenPath).constData(), 0500) == 0);

        QProcess p;
        p.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups",
                                            QCoreApplication::applicationFilePath(), "--trash-as-helper", trashPath, item});
        p.waitForFinished(-1);
        const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        if (!out.startsWith(QLatin1String("error ")) && !out.startsWith(QLatin1String("ok ")))
            QSKIP("cannot run the test binary as an unprivileged user here");

        QCOMPARE(out, QStringLiteral("error QuillmereTrashErrorDomain %1").arg(TrashError::TrashUnavailable));
        QCOMPARE(readAll(item), QByteArray("keep"));
        for (const QString &folder : {QStringLiteral("/files"), QStringLiteral("/info")}) {
            if (QFileInfo(trashPath + folder).isDir())
                QCOMPARE(entries(trashPath + folder), QStringList());
        }
        QCOMPARE(QFileInfo(brokenPath).isDir(), readOnly);
    }

    // Another file system, made for the test in a mount namespace of its own;
    // nothing is left in, or copied to, the home Trash.
    void otherFileSystem_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("result");
        const auto moved = [](const QString &trash) {
            return "ok " + trash + QString::number(::getuid())
                + "/files/it's here; original 0; unchanged 0; Path=@/data/it%27s%20here; hello; home trash 0";
        };
        const auto failed = [](int code) {
            return QStringLiteral("error QuillmereTrashErrorDomain %1; original 1; unchanged 1; home trash 0").arg(code);
        };
        QTest::newRow("shared sticky .Trash") << "sticky" << moved(".Trash/");
        QTest::newRow("no .Trash") << "none" << moved(".Trash-");
        QTest::newRow(".Trash not sticky") << "not sticky" << moved(".Trash-");
        QTest::newRow(".Trash a symbolic link") << "symbolic link" << moved(".Trash-");
        QTest::newRow("no usable trash") << "unusable" << failed(TrashError::TrashUnavailable);
        QTest::newRow("a mount point") << "mount point" << failed(TrashError::HoldsTrash);
        QTest::newRow("no space") << "full" << failed(TrashError::OutOfSpace);
    }
    void otherFileSystem()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, result);
        QTemporaryDir tmp;
        QProcess p;
        p.start(QStringLiteral("unshare"), {"--mount", QCoreApplication::applicationFilePath(),
                                            "--trash-volume-helper", tmp.path(), scenario});
        p.waitForFinished(-1);
        const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || out == "nomount" || out.isEmpty())
            QSKIP("cannot mount a file system for the test here");
        QCOMPARE(out, result);
    }
};

int main(int argc, char **argv)
{
    if (const auto exitCode = runHelper(argc, argv))
        return *exitCode;
    QCoreApplication app(argc, argv);
    TestTrash test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_trash.moc"
