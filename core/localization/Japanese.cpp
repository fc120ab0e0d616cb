#include "core/localization/LocalizationData.h"

namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "アプリを読み込み中…"},
    {"scanning_starting", "開始しています…"},
    {"scanning_loading_apps", "インストール済みのアプリを読み込み中…"},
    {"scanning_preferences", "環境設定をスキャン中…"},
    {"scanning_app_support", "Application Support をスキャン中…"},
    {"scanning_caches", "キャッシュをスキャン中…"},
    {"scanning_containers", "コンテナをスキャン中…"},
    {"scanning_saved_states", "保存されたアプリの状態をスキャン中…"},
    {"scanning_logs", "ログをスキャン中…"},
    {"scanning_login_items", "ログイン項目をスキャン中…"},
    {"scanning_plugins", "プラグインと機能拡張をスキャン中…"},
    {"scanning_background_activity", "バックグラウンドアクティビティをスキャン中…"},
    {"scanning_tcc", "TCC アクセス権をスキャン中…"},
    {"scanning_specific", "%@ をスキャン中…"},
    {"scan_no_items", "残存項目は見つかりませんでした。"},
    {"scan_found_1_item", "残存項目が 1 件見つかりました。"},
    {"scan_found_n_items", "残存項目が %d 件見つかりました。"},
    {"scan_no_files", "%@ のファイルは見つかりませんでした。"},
    {"scan_found_1_file", "%@ の項目が 1 件見つかりました。"},
    {"scan_found_n_files", "%@ の項目が %d 件見つかりました。"},
    {"show_n_in_finder", "%d 件の項目を Finder に表示"},
    {"scan_all_files_for", "「%@」のすべてのファイルをスキャン"},
    {"add_to_ignore", "「%@」を無視リストに追加"},
    {"remove_from_ignore", "「%@」を無視リストから削除"},
    {"scan_leftovers_for", "「%@」の残存項目をスキャン"},
    {"reset_app_for", "アプリ「%@」をリセット（.app は残し、サポートファイルを削除）"},
    {"reset_all_permissions_for", "「%@」のすべてのアクセス権をリセット"},
    {"remove_app_completely", "「%@」を完全に削除…"},
    {"remove_app_confirm_title", "アプリを完全に削除しますか？"},
    {"remove_app_confirm_message",
     "「%@」とそのすべての残存項目をゴミ箱に移動し、アクセス権をリセットします。この操作は取り消せません。"},
    {"remove_app_confirm_button", "すべて削除"},
    {"cancel", "キャンセル"},
    {"remove_app_done", "%@ を削除しました — %d 個の項目をクリーンアップしました。"},
    {"move_to_trash_n", "ゴミ箱に入れる（%d）"},
    {"reset_permissions_n", "アクセス権をリセット（%d）"},
    {"reset_all_permissions_done", "%@ のすべてのアクセス権をリセットしました。"},
    {"remove_bg_activity_n", "バックグラウンド項目を削除（%d）"},
    {"status_1_item", "1 件の項目"},
    {"status_n_items", "%d 件の項目"},
    {"status_total", "合計 %@"},
    {"status_1_selected", "1 件を選択"},
    {"status_n_selected", "%d 件を選択"},
    {"status_will_free", "（%@ が解放されます）"},
    {"status_hidden_safe", "セーフモードで %d 件を非表示"},
    {"status_1_app", "1 個のアプリ"},
    {"status_n_apps", "%d 個のアプリ"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::japanese()
{
    return kEntries;
}
