#include "core/localization/LocalizationData.h"

namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "جارٍ تحميل التطبيقات…"},
    {"scanning_starting", "جارٍ البدء…"},
    {"scanning_loading_apps", "جارٍ تحميل التطبيقات المثبتة…"},
    {"scanning_preferences", "جارٍ فحص التفضيلات…"},
    {"scanning_app_support", "جارٍ فحص Application Support…"},
    {"scanning_caches", "جارٍ فحص ذاكرات التخزين المؤقت…"},
    {"scanning_containers", "جارٍ فحص الحاويات…"},
    {"scanning_saved_states", "جارٍ فحص حالات التطبيقات المحفوظة…"},
    {"scanning_logs", "جارٍ فحص السجلات…"},
    {"scanning_login_items", "جارٍ فحص عناصر تسجيل الدخول…"},
    {"scanning_plugins", "جارٍ فحص المكونات الإضافية والامتدادات…"},
    {"scanning_background_activity", "جارٍ فحص النشاط في الخلفية…"},
    {"scanning_tcc", "جارٍ فحص صلاحيات TCC…"},
    {"scanning_specific", "جارٍ فحص %@…"},
    {"scan_no_items", "لم يُعثر على أي عناصر متبقية."},
    {"scan_found_1_item", "تم العثور على عنصر متبقٍ واحد."},
    {"scan_found_n_items", "تم العثور على %d من العناصر المتبقية."},
    {"scan_no_files", "لم يُعثر على ملفات لـ %@."},
    {"scan_found_1_file", "تم العثور على عنصر واحد لـ %@."},
    {"scan_found_n_files", "تم العثور على %d من العناصر لـ %@."},
    {"show_n_in_finder", "عرض %d من العناصر في Finder"},
    {"scan_all_files_for", "فحص كل ملفات «%@»"},
    {"add_to_ignore", "إضافة «%@» إلى قائمة التجاهل"},
    {"remove_from_ignore", "إزالة «%@» من قائمة التجاهل"},
    {"scan_leftovers_for", "فحص بقايا «%@»"},
    {"reset_app_for", "إعادة تعيين التطبيق «%@» (مع الإبقاء على .app وإزالة ملفات الدعم)"},
    {"reset_all_permissions_for", "إعادة تعيين كل صلاحيات «%@»"},
    {"remove_app_completely", "إزالة «%@» بالكامل…"},
    {"remove_app_confirm_title", "هل تريد إزالة التطبيق بالكامل؟"},
    {"remove_app_confirm_message",
     "سيؤدي هذا إلى نقل «%@» وكل بقاياه إلى سلة المهملات وإعادة تعيين صلاحياته. لا يمكن التراجع عن هذا الإجراء."},
    {"remove_app_confirm_button", "إزالة كل شيء"},
    {"cancel", "إلغاء"},
    {"remove_app_done", "تمت إزالة %@ — تم تنظيف %d من العناصر."},
    {"move_to_trash_n", "نقل إلى سلة المهملات (%d)"},
    {"reset_permissions_n", "إعادة تعيين الصلاحيات (%d)"},
    {"reset_all_permissions_done", "تمت إعادة تعيين كل صلاحيات %@."},
    {"remove_bg_activity_n", "إزالة عناصر الخلفية (%d)"},
    {"status_1_item", "عنصر واحد"},
    {"status_n_items", "%d من العناصر"},
    {"status_total", "الإجمالي %@"},
    {"status_1_selected", "تم تحديد عنصر واحد"},
    {"status_n_selected", "تم تحديد %d"},
    {"status_will_free", "(سيتم تحرير %@)"},
    {"status_hidden_safe", "%d مخفية بواسطة الوضع الآمن"},
    {"status_1_app", "تطبيق واحد"},
    {"status_n_apps", "%d من التطبيقات"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::arabic()
{
    return kEntries;
}
