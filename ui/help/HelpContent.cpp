#include "ui/help/HelpContent.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QRegularExpression>

namespace HelpContent {
namespace {

struct SectionText
{
    const char *title;
    const char *symbol;
    const char *body;
};

// The texts are translation keys; the shortcuts in them are written for the
// platform only after translation.
const SectionText sectionTexts[] = {
    {QT_TRANSLATE_NOOP("HelpView", "Getting Started"), "play.circle",
     QT_TRANSLATE_NOOP("HelpView",
        "Quillmere scans your Mac for leftover files from applications that have been uninstalled. These orphaned files — preferences, caches, logs, containers, and more — accumulate over time, wasting disk space and leaving stale privacy permissions behind.")},
    {QT_TRANSLATE_NOOP("HelpView", "Scanning for Leftovers"), "magnifyingglass",
     QT_TRANSLATE_NOOP("HelpView",
        "Click **Scan for Leftovers** or press **⌘R** to start a full scan. Quillmere compares installed applications in /Applications (and any custom locations you configure) against files in Library directories. Any file that belongs to an app that is no longer installed is flagged as an orphan.\n"
        "\n"
        "Results appear in a table showing the app name, file type, size, and location. Select one or more items and click **Move to Trash** to remove them, or **Reset Permissions** for TCC permission entries.")},
    {QT_TRANSLATE_NOOP("HelpView", "Safe Mode"), "checkmark.shield",
     QT_TRANSLATE_NOOP("HelpView",
        "Safe Mode is enabled by default. When active, only items that are considered safe to remove are shown:\n"
        "\n"
        "• **Caches** — temporary data that apps regenerate automatically\n"
        "• **Logs** — diagnostic files with no user content\n"
        "• **Saved States** — window positions and UI snapshots\n"
        "• **Preferences** — small configuration plists\n"
        "• **Permissions** — stale TCC entries (nothing is deleted from disk)\n"
        "\n"
        "The following types are hidden in Safe Mode because they may contain user data:\n"
        "\n"
        "• **App Support** — may hold databases, game saves, or documents\n"
        "• **Containers** — sandboxed app data including user files\n"
        "• **Login Items** — the launch agent binary may still be needed\n"
        "• **Plugins** — may be standalone purchases used by other apps\n"
        "\n"
        "Disable Safe Mode by unchecking the checkbox in the filter bar to see all results.")},
    {QT_TRANSLATE_NOOP("HelpView", "Installed Apps"), "app.badge",
     QT_TRANSLATE_NOOP("HelpView",
        "Switch to the **Installed Apps** tab and click **Load Apps** to see all applications on your system. The table shows each app's name, bundle ID, version, size, and when it was last launched.\n"
        "\n"
        "Right-click an app to scan its leftovers, reset it (remove all support files while keeping the .app bundle), or add it to the ignore list.")},
    {QT_TRANSLATE_NOOP("HelpView", "Per-App Scan (Drag & Drop)"), "arrow.down.doc",
     QT_TRANSLATE_NOOP("HelpView",
        "Drag any **.app** file from Finder into the Quillmere window to scan for all files associated with that specific application. This works for both installed and uninstalled apps — useful for cleaning up before or after removing an app.")},
    {QT_TRANSLATE_NOOP("HelpView", "Settings"), "gearshape",
     QT_TRANSLATE_NOOP("HelpView",
        "Open Settings via **⌘,** or the gear button in the toolbar.\n"
        "\n"
        "**App Locations** — Add folders where you keep .app bundles (e.g. a second drive). These are scanned alongside /Applications to build the list of installed apps.\n"
        "\n"
        "**Ignore List** — Apps added here are excluded from all scan results. Use the right-click menu in the main window to add apps, or manage the list in Settings.\n"
        "\n"
        "**Language** — Choose between English, German, French, and Spanish. Select a language and press Save to apply.")},
    {QT_TRANSLATE_NOOP("HelpView", "Full Disk Access (optional)"), "lock.shield",
     QT_TRANSLATE_NOOP("HelpView",
        "Quillmere can detect orphaned **Login Items** and **Background Activity** helpers (launch agents, daemons, login items registered via SMAppService) whose parent app is no longer installed. This relies on the macOS tool `/usr/bin/sfltool dumpbtm`, which requires **Full Disk Access**.\n"
        "\n"
        "If you decline the permission prompt, the Background Activity category will silently be empty — every other scan category continues to work normally.\n"
        "\n"
        "Grant access in **System Settings → Privacy & Security → Full Disk Access** by adding Quillmere to the list, then re-run the scan.")},
    {QT_TRANSLATE_NOOP("HelpView", "Log"), "doc.text.magnifyingglass",
     QT_TRANSLATE_NOOP("HelpView",
        "Click **Show Log** to see a detailed record of everything Quillmere has done: scan results, items trashed, permissions reset, and errors. Use the **Clear** button to empty the log.")},
    {QT_TRANSLATE_NOOP("HelpView", "Error Tracking"), "ant",
     QT_TRANSLATE_NOOP("HelpView",
        "Quillmere uses **Sentry** to automatically report crashes and errors. This helps us identify and fix issues faster. No personal files or scan results are included — only technical diagnostics such as stack traces and device information are sent.")},
    {QT_TRANSLATE_NOOP("HelpView", "Keyboard Shortcuts"), "keyboard",
     QT_TRANSLATE_NOOP("HelpView",
        "⌘R — Start scan (Leftovers tab) or load apps (Installed Apps tab)\n"
        "⌘, — Open Settings\n"
        "⌘? — Open this Help window")},
};

const char *const warningSource = QT_TRANSLATE_NOOP("HelpView",
        "Deleting files you do not recognise can cause applications to lose settings, saved data, or stop working correctly. Even with **Safe Mode enabled**, some items (such as preference files) may contain configuration that is difficult to recreate.\n"
        "\n"
        "**Before deleting, consider the following:**\n"
        "\n"
        "• If you are unsure what a file does, do not delete it.\n"
        "• Items are moved to the Trash, so you can restore them if something breaks. Do not empty the Trash until you have verified that everything still works.\n"
        "• Disabling Safe Mode exposes App Support folders and Containers that may hold irreplaceable user data such as databases, game saves, or documents. Deleting these cannot be undone if the Trash is emptied.\n"
        "• TCC permission resets are immediate and cannot be undone — the app will need to re-request access the next time it runs.\n"
        "• Login Items, Plugins, and Background Activity helpers may still be in use by other applications. Removing them can break functionality you did not expect.\n"
        "\n"
        "**Quillmere is a power tool. Use it carefully.** When in doubt, leave the item alone or add the app to the Ignore List.");

QString translated(const char *text)
{
    return QCoreApplication::translate("HelpView", text);
}

} // namespace

QString warningTitle()
{
    return translated(QT_TRANSLATE_NOOP("HelpView", "Warning — Potential for Data Loss"));
}

QString warningText()
{
    return renderable(translated(warningSource));
}

QList<Section> sections()
{
    QList<Section> list;
    for (const SectionText &text : sectionTexts)
        list.append({translated(text.title), QString::fromLatin1(text.symbol), renderable(translated(text.body))});
    return list;
}

QString withNativeShortcuts(QString text)
{
    const struct
    {
        const char *written;
        QKeyCombination keys;
    } shortcuts[] = {
        {"\u2318R", Qt::CTRL | Qt::Key_R},
        {"\u2318,", Qt::CTRL | Qt::Key_Comma},
        {"\u2318?", Qt::CTRL | Qt::Key_Question},
    };
    for (const auto &shortcut : shortcuts)
        text.replace(QString::fromUtf8(shortcut.written), QKeySequence(shortcut.keys).toString(QKeySequence::NativeText));
    return text;
}

QString withHardLineBreaks(const QString &markdown)
{
    // A line separator breaks the line inside its paragraph; the importer's own
    // hard break would start a new paragraph with its margins. A blank line
    // still separates paragraphs.
    static const QRegularExpression lone(QStringLiteral("(?<!\\n)\\n(?!\\n)"));
    QString text = markdown;
    return text.replace(lone, QString(QChar::LineSeparator));
}

QString renderable(const QString &text)
{
    return withHardLineBreaks(withNativeShortcuts(text));
}

} // namespace HelpContent
