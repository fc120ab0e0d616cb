#include "core/localization/LocalizationData.h"

namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "Cargando apps…"},
    {"scanning_starting", "Iniciando…"},
    {"scanning_loading_apps", "Cargando apps instaladas…"},
    {"scanning_preferences", "Analizando preferencias…"},
    {"scanning_app_support", "Analizando Application Support…"},
    {"scanning_caches", "Analizando cachés…"},
    {"scanning_containers", "Analizando contenedores…"},
    {"scanning_saved_states", "Analizando estados guardados de apps…"},
    {"scanning_logs", "Analizando registros…"},
    {"scanning_login_items", "Analizando ítems de inicio…"},
    {"scanning_plugins", "Analizando plug-ins y extensiones…"},
    {"scanning_background_activity", "Analizando actividad en segundo plano…"},
    {"scanning_tcc", "Analizando permisos TCC…"},
    {"scanning_specific", "Analizando %@…"},
    {"scan_no_items", "No se encontraron restos."},
    {"scan_found_1_item", "Se encontró 1 resto."},
    {"scan_found_n_items", "Se encontraron %d restos."},
    {"scan_no_files", "No se encontraron archivos de %@."},
    {"scan_found_1_file", "Se encontró 1 elemento de %@."},
    {"scan_found_n_files", "Se encontraron %d elementos de %@."},
    {"show_n_in_finder", "Mostrar %d elementos en el Finder"},
    {"scan_all_files_for", "Buscar todos los archivos de «%@»"},
    {"add_to_ignore", "Añadir «%@» a la lista de ignorados"},
    {"remove_from_ignore", "Quitar «%@» de la lista de ignorados"},
    {"scan_leftovers_for", "Buscar restos de «%@»"},
    {"reset_app_for", "Restablecer la app «%@» (conservar el .app, eliminar archivos de soporte)"},
    {"reset_all_permissions_for", "Restablecer todos los permisos de «%@»"},
    {"remove_app_completely", "Eliminar «%@» por completo…"},
    {"remove_app_confirm_title", "¿Eliminar la app por completo?"},
    {"remove_app_confirm_message",
     "«%@» y todos sus restos se moverán a la Papelera y se restablecerán sus permisos. "
     "Esta acción no se puede deshacer."},
    {"remove_app_confirm_button", "Eliminar todo"},
    {"cancel", "Cancelar"},
    {"remove_app_done", "%@ eliminada — %d elementos limpiados."},
    {"move_to_trash_n", "Mover a la Papelera (%d)"},
    {"reset_permissions_n", "Restablecer permisos (%d)"},
    {"reset_all_permissions_done", "Se restablecieron todos los permisos de %@."},
    {"remove_bg_activity_n", "Eliminar ítems en segundo plano (%d)"},
    {"status_1_item", "1 elemento"},
    {"status_n_items", "%d elementos"},
    {"status_total", "%@ en total"},
    {"status_1_selected", "1 seleccionado"},
    {"status_n_selected", "%d seleccionados"},
    {"status_will_free", "(se liberarán %@)"},
    {"status_hidden_safe", "%d ocultos por el modo seguro"},
    {"status_1_app", "1 app"},
    {"status_n_apps", "%d apps"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::spanish()
{
    return kEntries;
}
