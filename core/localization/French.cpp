#include "core/localization/LocalizationData.h"

namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "Chargement des apps…"},
    {"scanning_starting", "Démarrage…"},
    {"scanning_loading_apps", "Chargement des apps installées…"},
    {"scanning_preferences", "Analyse des préférences…"},
    {"scanning_app_support", "Analyse d’Application Support…"},
    {"scanning_caches", "Analyse des caches…"},
    {"scanning_containers", "Analyse des conteneurs…"},
    {"scanning_saved_states", "Analyse des états d’application enregistrés…"},
    {"scanning_logs", "Analyse des journaux…"},
    {"scanning_login_items", "Analyse des éléments d’ouverture…"},
    {"scanning_plugins", "Analyse des plug-ins et extensions…"},
    {"scanning_background_activity", "Analyse de l’activité en arrière-plan…"},
    {"scanning_tcc", "Analyse des autorisations TCC…"},
    {"scanning_specific", "Analyse de %@…"},
    {"scan_no_items", "Aucun résidu trouvé."},
    {"scan_found_1_item", "1 résidu trouvé."},
    {"scan_found_n_items", "%d résidus trouvés."},
    {"scan_no_files", "Aucun fichier trouvé pour %@."},
    {"scan_found_1_file", "1 élément trouvé pour %@."},
    {"scan_found_n_files", "%d éléments trouvés pour %@."},
    {"show_n_in_finder", "Afficher %d éléments dans le Finder"},
    {"scan_all_files_for", "Rechercher tous les fichiers de « %@ »"},
    {"add_to_ignore", "Ajouter « %@ » à la liste d’exclusion"},
    {"remove_from_ignore", "Retirer « %@ » de la liste d’exclusion"},
    {"scan_leftovers_for", "Rechercher les résidus de « %@ »"},
    {"reset_app_for", "Réinitialiser l’app « %@ » (conserver le .app, supprimer les fichiers de support)"},
    {"reset_all_permissions_for", "Réinitialiser toutes les autorisations de « %@ »"},
    {"remove_app_completely", "Supprimer complètement « %@ »…"},
    {"remove_app_confirm_title", "Supprimer complètement l’app ?"},
    {"remove_app_confirm_message",
     "« %@ » et tous ses résidus seront placés dans la Corbeille et ses autorisations seront réinitialisées. "
     "Cette action est irréversible."},
    {"remove_app_confirm_button", "Tout supprimer"},
    {"cancel", "Annuler"},
    {"remove_app_done", "%@ supprimé — %d éléments nettoyés."},
    {"move_to_trash_n", "Placer dans la Corbeille (%d)"},
    {"reset_permissions_n", "Réinitialiser les autorisations (%d)"},
    {"reset_all_permissions_done", "Toutes les autorisations de %@ ont été réinitialisées."},
    {"remove_bg_activity_n", "Supprimer les éléments en arrière-plan (%d)"},
    {"status_1_item", "1 élément"},
    {"status_n_items", "%d éléments"},
    {"status_total", "%@ au total"},
    {"status_1_selected", "1 sélectionné"},
    {"status_n_selected", "%d sélectionnés"},
    {"status_will_free", "(%@ seront libérés)"},
    {"status_hidden_safe", "%d masqués par le mode sécurisé"},
    {"status_1_app", "1 app"},
    {"status_n_apps", "%d apps"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::french()
{
    return kEntries;
}
