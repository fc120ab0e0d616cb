#include "core/localization/LocalizationData.h"

// "访达" is the system's own Chinese name for the Finder.
namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "正在载入应用…"},
    {"scanning_starting", "正在开始…"},
    {"scanning_loading_apps", "正在载入已安装的应用…"},
    {"scanning_preferences", "正在扫描偏好设置…"},
    {"scanning_app_support", "正在扫描 Application Support…"},
    {"scanning_caches", "正在扫描缓存…"},
    {"scanning_containers", "正在扫描容器…"},
    {"scanning_saved_states", "正在扫描已存储的应用状态…"},
    {"scanning_logs", "正在扫描日志…"},
    {"scanning_login_items", "正在扫描登录项…"},
    {"scanning_plugins", "正在扫描插件与扩展…"},
    {"scanning_background_activity", "正在扫描后台活动…"},
    {"scanning_tcc", "正在扫描 TCC 权限…"},
    {"scanning_specific", "正在扫描 %@…"},
    {"scan_no_items", "未找到残留项目。"},
    {"scan_found_1_item", "找到 1 个残留项目。"},
    {"scan_found_n_items", "找到 %d 个残留项目。"},
    {"scan_no_files", "未找到 %@ 的文件。"},
    {"scan_found_1_file", "找到 %@ 的 1 个项目。"},
    {"scan_found_n_files", "找到 %@ 的 %d 个项目。"},
    {"show_n_in_finder", "在访达中显示 %d 个项目"},
    {"scan_all_files_for", "扫描“%@”的所有文件"},
    {"add_to_ignore", "将“%@”添加到忽略列表"},
    {"remove_from_ignore", "从忽略列表中移除“%@”"},
    {"scan_leftovers_for", "扫描“%@”的残留项目"},
    {"reset_app_for", "重置应用“%@”（保留 .app，移除支持文件）"},
    {"reset_all_permissions_for", "重置“%@”的所有权限"},
    {"remove_app_completely", "彻底移除“%@”…"},
    {"remove_app_confirm_title", "要彻底移除应用吗？"},
    {"remove_app_confirm_message", "这会将“%@”及其所有残留项目移到废纸篓，并重置其权限。此操作无法撤销。"},
    {"remove_app_confirm_button", "全部移除"},
    {"cancel", "取消"},
    {"remove_app_done", "已移除 %@ — 清理了 %d 个项目。"},
    {"move_to_trash_n", "移到废纸篓（%d）"},
    {"reset_permissions_n", "重置权限（%d）"},
    {"reset_all_permissions_done", "已重置 %@ 的所有权限。"},
    {"remove_bg_activity_n", "移除后台项目（%d）"},
    {"status_1_item", "1 个项目"},
    {"status_n_items", "%d 个项目"},
    {"status_total", "共 %@"},
    {"status_1_selected", "已选择 1 个"},
    {"status_n_selected", "已选择 %d 个"},
    {"status_will_free", "（将释放 %@）"},
    {"status_hidden_safe", "安全模式隐藏了 %d 个"},
    {"status_1_app", "1 个应用"},
    {"status_n_apps", "%d 个应用"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::chineseSimplified()
{
    return kEntries;
}
