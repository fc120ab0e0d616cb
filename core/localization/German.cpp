#include "core/localization/LocalizationData.h"

// German sets a blank before the ellipsis.
namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "Apps werden geladen …"},
    {"scanning_starting", "Wird gestartet …"},
    {"scanning_loading_apps", "Installierte Apps werden geladen …"},
    {"scanning_preferences", "Einstellungen werden durchsucht …"},
    {"scanning_app_support", "Application Support wird durchsucht …"},
    {"scanning_caches", "Caches werden durchsucht …"},
    {"scanning_containers", "Container werden durchsucht …"},
    {"scanning_saved_states", "Gesicherte App-Zustände werden durchsucht …"},
    {"scanning_logs", "Protokolle werden durchsucht …"},
    {"scanning_login_items", "Anmeldeobjekte werden durchsucht …"},
    {"scanning_plugins", "Plug-ins & Erweiterungen werden durchsucht …"},
    {"scanning_background_activity", "Hintergrundaktivität wird durchsucht …"},
    {"scanning_tcc", "TCC-Berechtigungen werden durchsucht …"},
    {"scanning_specific", "%@ wird durchsucht …"},
    {"scan_no_items", "Keine Überreste gefunden."},
    {"scan_found_1_item", "1 Überrest gefunden."},
    {"scan_found_n_items", "%d Überreste gefunden."},
    {"scan_no_files", "Keine Dateien für %@ gefunden."},
    {"scan_found_1_file", "1 Objekt für %@ gefunden."},
    {"scan_found_n_files", "%d Objekte für %@ gefunden."},
    {"show_n_in_finder", "%d Objekte im Finder zeigen"},
    {"scan_all_files_for", "Alle Dateien für „%@“ suchen"},
    {"add_to_ignore", "„%@“ zur Ignorierliste hinzufügen"},
    {"remove_from_ignore", "„%@“ von der Ignorierliste entfernen"},
    {"scan_leftovers_for", "Überreste von „%@“ suchen"},
    {"reset_app_for", "App „%@“ zurücksetzen (.app behalten, Supportdateien entfernen)"},
    {"reset_all_permissions_for", "Alle Berechtigungen für „%@“ zurücksetzen"},
    {"remove_app_completely", "„%@“ vollständig entfernen …"},
    {"remove_app_confirm_title", "App vollständig entfernen?"},
    {"remove_app_confirm_message",
     "„%@“ und alle zugehörigen Überreste werden in den Papierkorb gelegt und die Berechtigungen zurückgesetzt. "
     "Dies kann nicht rückgängig gemacht werden."},
    {"remove_app_confirm_button", "Alles entfernen"},
    {"cancel", "Abbrechen"},
    {"remove_app_done", "%@ entfernt — %d Objekte bereinigt."},
    {"move_to_trash_n", "In den Papierkorb legen (%d)"},
    {"reset_permissions_n", "Berechtigungen zurücksetzen (%d)"},
    {"reset_all_permissions_done", "Alle Berechtigungen für %@ zurückgesetzt."},
    {"remove_bg_activity_n", "Hintergrundobjekte entfernen (%d)"},
    {"status_1_item", "1 Objekt"},
    {"status_n_items", "%d Objekte"},
    {"status_total", "%@ insgesamt"},
    {"status_1_selected", "1 ausgewählt"},
    {"status_n_selected", "%d ausgewählt"},
    {"status_will_free", "(%@ werden freigegeben)"},
    {"status_hidden_safe", "%d durch Sicherheitsmodus ausgeblendet"},
    {"status_1_app", "1 App"},
    {"status_n_apps", "%d Apps"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::german()
{
    return kEntries;
}
