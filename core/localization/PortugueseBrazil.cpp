#include "core/localization/LocalizationData.h"

namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "Carregando apps…"},
    {"scanning_starting", "Iniciando…"},
    {"scanning_loading_apps", "Carregando apps instalados…"},
    {"scanning_preferences", "Verificando Preferências…"},
    {"scanning_app_support", "Verificando Application Support…"},
    {"scanning_caches", "Verificando Caches…"},
    {"scanning_containers", "Verificando Contêineres…"},
    {"scanning_saved_states", "Verificando Estados Salvos de Apps…"},
    {"scanning_logs", "Verificando Registros…"},
    {"scanning_login_items", "Verificando Itens de Início de Sessão…"},
    {"scanning_plugins", "Verificando Plug-ins e Extensões…"},
    {"scanning_background_activity", "Verificando Atividade em Segundo Plano…"},
    {"scanning_tcc", "Verificando permissões TCC…"},
    {"scanning_specific", "Verificando %@…"},
    {"scan_no_items", "Nenhum item remanescente encontrado."},
    {"scan_found_1_item", "1 item remanescente encontrado."},
    {"scan_found_n_items", "%d itens remanescentes encontrados."},
    {"scan_no_files", "Nenhum arquivo encontrado para %@."},
    {"scan_found_1_file", "1 item encontrado para %@."},
    {"scan_found_n_files", "%d itens encontrados para %@."},
    {"show_n_in_finder", "Mostrar %d itens no Finder"},
    {"scan_all_files_for", "Verificar todos os arquivos de “%@”"},
    {"add_to_ignore", "Adicionar “%@” à lista de ignorados"},
    {"remove_from_ignore", "Remover “%@” da lista de ignorados"},
    {"scan_leftovers_for", "Verificar remanescentes de “%@”"},
    {"reset_app_for", "Redefinir o app “%@” (manter o .app, remover arquivos de suporte)"},
    {"reset_all_permissions_for", "Redefinir todas as permissões de “%@”"},
    {"remove_app_completely", "Remover “%@” por completo…"},
    {"remove_app_confirm_title", "Remover o app por completo?"},
    {"remove_app_confirm_message",
     "Isto moverá “%@” e todos os seus remanescentes para o Lixo e redefinirá suas permissões. "
     "Não é possível desfazer esta ação."},
    {"remove_app_confirm_button", "Remover tudo"},
    {"cancel", "Cancelar"},
    {"remove_app_done", "%@ removido — %d itens limpos."},
    {"move_to_trash_n", "Mover para o Lixo (%d)"},
    {"reset_permissions_n", "Redefinir permissões (%d)"},
    {"reset_all_permissions_done", "Todas as permissões de %@ foram redefinidas."},
    {"remove_bg_activity_n", "Remover itens em segundo plano (%d)"},
    {"status_1_item", "1 item"},
    {"status_n_items", "%d itens"},
    {"status_total", "%@ no total"},
    {"status_1_selected", "1 selecionado"},
    {"status_n_selected", "%d selecionados"},
    {"status_will_free", "(%@ serão liberados)"},
    {"status_hidden_safe", "%d ocultos pelo Modo Seguro"},
    {"status_1_app", "1 app"},
    {"status_n_apps", "%d apps"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::portugueseBrazil()
{
    return kEntries;
}
