#include "core/localization/LocalizationData.h"

// Counts stand after a colon, which spares the plural forms a single text cannot give.
namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "Завантаження програм…"},
    {"scanning_starting", "Запуск…"},
    {"scanning_loading_apps", "Завантаження встановлених програм…"},
    {"scanning_preferences", "Сканування параметрів…"},
    {"scanning_app_support", "Сканування Application Support…"},
    {"scanning_caches", "Сканування кешів…"},
    {"scanning_containers", "Сканування контейнерів…"},
    {"scanning_saved_states", "Сканування збережених станів програм…"},
    {"scanning_logs", "Сканування журналів…"},
    {"scanning_login_items", "Сканування елементів входу…"},
    {"scanning_plugins", "Сканування плагінів і розширень…"},
    {"scanning_background_activity", "Сканування фонової активності…"},
    {"scanning_tcc", "Сканування дозволів TCC…"},
    {"scanning_specific", "Сканування %@…"},
    {"scan_no_items", "Залишків не знайдено."},
    {"scan_found_1_item", "Знайдено 1 залишок."},
    {"scan_found_n_items", "Знайдено залишків: %d."},
    {"scan_no_files", "Для %@ файлів не знайдено."},
    {"scan_found_1_file", "Для %@ знайдено 1 елемент."},
    {"scan_found_n_files", "Знайдено елементів для %@: %d."},
    {"show_n_in_finder", "Показати у Finder (елементів: %d)"},
    {"scan_all_files_for", "Сканувати всі файли «%@»"},
    {"add_to_ignore", "Додати «%@» до списку ігнорування"},
    {"remove_from_ignore", "Вилучити «%@» зі списку ігнорування"},
    {"scan_leftovers_for", "Сканувати залишки «%@»"},
    {"reset_app_for", "Скинути програму «%@» (залишити .app, видалити допоміжні файли)"},
    {"reset_all_permissions_for", "Скинути всі дозволи для «%@»"},
    {"remove_app_completely", "Повністю видалити «%@»…"},
    {"remove_app_confirm_title", "Повністю видалити програму?"},
    {"remove_app_confirm_message",
     "«%@» і всі її залишки буде переміщено в Кошик, а її дозволи — скинуто. Цю дію не можна скасувати."},
    {"remove_app_confirm_button", "Видалити все"},
    {"cancel", "Скасувати"},
    {"remove_app_done", "%@ видалено — очищено елементів: %d."},
    {"move_to_trash_n", "Перемістити в Кошик (%d)"},
    {"reset_permissions_n", "Скинути дозволи (%d)"},
    {"reset_all_permissions_done", "Усі дозволи для %@ скинуто."},
    {"remove_bg_activity_n", "Видалити фонові елементи (%d)"},
    {"status_1_item", "1 елемент"},
    {"status_n_items", "Елементів: %d"},
    {"status_total", "Усього: %@"},
    {"status_1_selected", "Вибрано: 1"},
    {"status_n_selected", "Вибрано: %d"},
    {"status_will_free", "(буде звільнено %@)"},
    {"status_hidden_safe", "Приховано безпечним режимом: %d"},
    {"status_1_app", "1 програма"},
    {"status_n_apps", "Програм: %d"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::ukrainian()
{
    return kEntries;
}
