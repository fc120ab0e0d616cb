#include "core/engine/PermissionDatabase.h"

#include "core/engine/FinderRules.h"
#include "core/engine/Naming.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>

#include <functional>
#include <set>
#include <utility>

namespace {

const char *const allAppsByAuthValue = "SELECT client, service FROM access WHERE client_type=0 AND auth_value=2";
const char *const allAppsByAllowed = "SELECT client, service FROM access WHERE client_type=0 AND allowed=1";
const char *const oneAppByAuthValue =
    "SELECT service FROM access WHERE client = ? AND client_type = 0 AND auth_value = 2";
const char *const oneAppByAllowed = "SELECT service FROM access WHERE client = ? AND client_type = 0 AND allowed = 1";

// The system writes the database while we read it; wait briefly for its lock.
constexpr int busyTimeoutMs = 1000;
// What one item holds beyond its texts (each kept as UTF-16, some twice).
constexpr qint64 rowCost = 256;

std::optional<QString> columnText(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    if (!text)
        return std::nullopt;
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

// Interrupts SQLite once the read has used up its time.
int outOfTime(void *deadline)
{
    return static_cast<QDeadlineTimer *>(deadline)->hasExpired() ? 1 : 0;
}

// What ends a read at one of its bounds rather than at an error of the database.
bool isBound(int result)
{
    return result == SQLITE_INTERRUPT || result == SQLITE_NOMEM;
}

// Turns the rows of one prepared statement into items.
using RowReader = std::function<void(sqlite3_stmt *, QList<LeftoverItem> &)>;

// Runs the first statement, and the second only when the first cannot be
// prepared or yields no item; the two results are never merged.
PermissionScan readPermissions(const QString &databasePath, const char *first, const char *second,
                               const QByteArray &boundClient, bool bindClient, const RowReader &readRow,
                               const PermissionReadLimits &limits)
{
    PermissionScan scan;
    const QFileInfo info(databasePath);
    const bool fileExists = info.exists();
    // An absolute name: with URI file names enabled, a relative "file:..." would be taken as a URI.
    const QByteArray name = QFile::encodeName(info.absoluteFilePath());
    struct stat st;
    if (fileExists && (stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))) {
        scan.accessDenied = true;
        return scan;
    }

    sqlite3_hard_heap_limit64(limits.heapBytes);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        scan.accessDenied = fileExists;
        return scan;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    QDeadlineTimer deadline(limits.milliseconds);
    sqlite3_progress_handler(db, 1000, &outOfTime, &deadline);

    bool bounded = false;
    for (const char *sql : {first, second}) {
        sqlite3_stmt *statement = nullptr;
        const int prepared = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        if (prepared != SQLITE_OK) {
            sqlite3_finalize(statement);
            bounded = isBound(prepared);
            if (bounded)
                break;
            continue;
        }
        if (bindClient
            && sqlite3_bind_text(statement, 1, boundClient.constData(), int(boundClient.size()), SQLITE_TRANSIENT)
                   != SQLITE_OK) {
            sqlite3_finalize(statement);
            continue;
        }
        QList<LeftoverItem> items;
        qint64 kept = 0;
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            const qsizetype before = items.size();
            readRow(statement, items);
            if (items.size() == before)
                continue;
            // The items count against the same memory limit: an endless view
            // would otherwise fill the list within the time allowed.
            kept += rowCost;
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                kept += 4 * qint64(sqlite3_column_bytes(statement, column));
            if (kept + sqlite3_memory_used() > limits.heapBytes) {
                step = SQLITE_NOMEM;
                break;
            }
        }
        sqlite3_finalize(statement);
        bounded = isBound(step);
        if (bounded)
            break;
        if (!items.isEmpty()) {
            scan.items = items;
            break;
        }
    }
    sqlite3_close(db);
    // Stopped at a bound: what was read is no answer at all.
    if (bounded) {
        scan.items.clear();
        scan.accessDenied = true;
    }
    return scan;
}

}

PermissionScan ScannerEngine::findOrphanPermissions(const QString &databasePath, const QSet<QString> &installedIDs,
                                                   const PermissionReadLimits &limits)
{
    // One item per client and service; kept as a pair, so that a "|" inside a
    // name cannot make two different pairs look alike.
    std::set<std::pair<QString, QString>> seen;
    const RowReader readRow = [&](sqlite3_stmt *statement, QList<LeftoverItem> &items) {
        const auto client = columnText(statement, 0);
        const auto service = columnText(statement, 1);
        if (!client || !service)
            return;
        if (isAppleIdentifier(*client) || client->startsWith(QLatin1Char('/')))
            return;
        if (installedIDs.contains(*client))
            return;
        if (!seen.insert({*client, *service}).second)
            return;
        LeftoverItem item;
        item.appName = displayName(*client);
        item.bundleID = *client;
        item.type = LeftoverType::permission;
        item.size = 0;
        item.permissionService = serviceDisplayText(*service);
        items.append(item);
    };
    // A pair is recorded only with its item, so the second statement, which runs
    // only when the first made none, starts with an empty set.
    return readPermissions(databasePath, allAppsByAuthValue, allAppsByAllowed, QByteArray(), false, readRow, limits);
}

PermissionScan ScannerEngine::findPermissions(const QString &bundleID, const QString &appName,
                                              const QString &databasePath, const PermissionReadLimits &limits)
{
    const RowReader readRow = [&](sqlite3_stmt *statement, QList<LeftoverItem> &items) {
        const auto service = columnText(statement, 0);
        if (!service)
            return;
        LeftoverItem item;
        item.appName = appName;
        item.bundleID = bundleID;
        item.type = LeftoverType::permission;
        item.size = 0;
        item.permissionService = serviceDisplayText(*service);
        items.append(item);
    };
    return readPermissions(databasePath, oneAppByAuthValue, oneAppByAllowed, bundleID.toUtf8(), true, readRow,
                           limits);
}
