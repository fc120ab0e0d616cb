#include "core/localization/LocalizationData.h"

// Counts stand after a colon, which spares the plural forms a single text cannot give.
namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "Загрузка приложений…"},
    {"scanning_starting", "Запуск…"},
    {"scanning_loading_apps", "Загрузка установленных приложений…"},
    {"scanning_preferences", "Сканирование настроек…"},
    {"scanning_app_support", "Сканирование Application Support…"},
    {"scanning_caches", "Сканирование кэшей…"},
    {"scanning_containers", "Сканирование контейнеров…"},
    {"scanning_saved_states", "Сканирование сохранённых состояний приложений…"},
    {"scanning_logs", "Сканирование журналов…"},
    {"scanning_login_items", "Сканирование объектов входа…"},
    {"scanning_plugins", "Сканирование плагинов и расширений…"},
    {"scanning_background_activity", "Сканирование фоновой активности…"},
    {"scanning_tcc", "Сканирование разрешений TCC…"},
    {"scanning_specific", "Сканирование %@…"},
    {"scan_no_items", "Остатков не найдено."},
    {"scan_found_1_item", "Найден 1 остаток."},
    {"scan_found_n_items", "Найдено остатков: %d."},
    {"scan_no_files", "Для %@ файлов не найдено."},
    {"scan_found_1_file", "Для %@ найден 1 элемент."},
    {"scan_found_n_files", "Найдено элементов для %@: %d."},
    {"show_n_in_finder", "Показать в Finder (элементов: %d)"},
    {"scan_all_files_for", "Сканировать все файлы «%@»"},
    {"add_to_ignore", "Добавить «%@» в список игнорирования"},
    {"remove_from_ignore", "Удалить «%@» из списка игнорирования"},
    {"scan_leftovers_for", "Сканировать остатки «%@»"},
    {"reset_app_for", "Сбросить приложение «%@» (оставить .app, удалить вспомогательные файлы)"},
    {"reset_all_permissions_for", "Сбросить все разрешения для «%@»"},
    {"remove_app_completely", "Полностью удалить «%@»…"},
    {"remove_app_confirm_title", "Полностью удалить приложение?"},
    {"remove_app_confirm_message",
     "«%@» и все его остатки будут перемещены в Корзину, а его разрешения — сброшены. Это действие нельзя отменить."},
    {"remove_app_confirm_button", "Удалить всё"},
    {"cancel", "Отменить"},
    {"remove_app_done", "%@ удалено — очищено элементов: %d."},
    {"move_to_trash_n", "Переместить в Корзину (%d)"},
    {"reset_permissions_n", "Сбросить разрешения (%d)"},
    {"reset_all_permissions_done", "Все разрешения для %@ сброшены."},
    {"remove_bg_activity_n", "Удалить фоновые объекты (%d)"},
    {"status_1_item", "1 элемент"},
    {"status_n_items", "Элементов: %d"},
    {"status_total", "Всего: %@"},
    {"status_1_selected", "Выбрано: 1"},
    {"status_n_selected", "Выбрано: %d"},
    {"status_will_free", "(будет освобождено %@)"},
    {"status_hidden_safe", "Скрыто безопасным режимом: %d"},
    {"status_1_app", "1 приложение"},
    {"status_n_apps", "Приложений: %d"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::russian()
{
    return kEntries;
}
