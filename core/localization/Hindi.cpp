#include "core/localization/LocalizationData.h"

namespace {
constexpr LocalizationData::Entry kEntries[] = {
    {"loading_apps", "ऐप्स लोड हो रहे हैं…"},
    {"scanning_starting", "शुरू हो रहा है…"},
    {"scanning_loading_apps", "इंस्टॉल किए गए ऐप्स लोड हो रहे हैं…"},
    {"scanning_preferences", "प्राथमिकताएँ स्कैन की जा रही हैं…"},
    {"scanning_app_support", "Application Support स्कैन किया जा रहा है…"},
    {"scanning_caches", "कैश स्कैन किए जा रहे हैं…"},
    {"scanning_containers", "कंटेनर स्कैन किए जा रहे हैं…"},
    {"scanning_saved_states", "सहेजी गई ऐप स्थितियाँ स्कैन की जा रही हैं…"},
    {"scanning_logs", "लॉग स्कैन किए जा रहे हैं…"},
    {"scanning_login_items", "लॉगिन आइटम स्कैन किए जा रहे हैं…"},
    {"scanning_plugins", "प्लग-इन और एक्सटेंशन स्कैन किए जा रहे हैं…"},
    {"scanning_background_activity", "बैकग्राउंड गतिविधि स्कैन की जा रही है…"},
    {"scanning_tcc", "TCC अनुमतियाँ स्कैन की जा रही हैं…"},
    {"scanning_specific", "%@ स्कैन किया जा रहा है…"},
    {"scan_no_items", "कोई बचा हुआ आइटम नहीं मिला।"},
    {"scan_found_1_item", "1 बचा हुआ आइटम मिला।"},
    {"scan_found_n_items", "%d बचे हुए आइटम मिले।"},
    {"scan_no_files", "%@ के लिए कोई फ़ाइल नहीं मिली।"},
    {"scan_found_1_file", "%@ के लिए 1 आइटम मिला।"},
    {"scan_found_n_files", "%@ के लिए %d आइटम मिले।"},
    {"show_n_in_finder", "Finder में %d आइटम दिखाएँ"},
    {"scan_all_files_for", "“%@” की सभी फ़ाइलें स्कैन करें"},
    {"add_to_ignore", "“%@” को अनदेखा सूची में जोड़ें"},
    {"remove_from_ignore", "“%@” को अनदेखा सूची से हटाएँ"},
    {"scan_leftovers_for", "“%@” के बचे हुए आइटम स्कैन करें"},
    {"reset_app_for", "ऐप “%@” रीसेट करें (.app रखें, सहायक फ़ाइलें हटाएँ)"},
    {"reset_all_permissions_for", "“%@” की सभी अनुमतियाँ रीसेट करें"},
    {"remove_app_completely", "“%@” को पूरी तरह हटाएँ…"},
    {"remove_app_confirm_title", "ऐप को पूरी तरह हटाएँ?"},
    {"remove_app_confirm_message",
     "इससे “%@” और उसके सभी बचे हुए आइटम ट्रैश में चले जाएँगे और उसकी अनुमतियाँ रीसेट हो जाएँगी। "
     "इसे पूर्ववत नहीं किया जा सकता।"},
    {"remove_app_confirm_button", "सब कुछ हटाएँ"},
    {"cancel", "रद्द करें"},
    {"remove_app_done", "%@ हटाया गया — %d आइटम साफ़ किए गए।"},
    {"move_to_trash_n", "ट्रैश में ले जाएँ (%d)"},
    {"reset_permissions_n", "अनुमतियाँ रीसेट करें (%d)"},
    {"reset_all_permissions_done", "%@ की सभी अनुमतियाँ रीसेट कर दी गईं।"},
    {"remove_bg_activity_n", "बैकग्राउंड आइटम हटाएँ (%d)"},
    {"status_1_item", "1 आइटम"},
    {"status_n_items", "%d आइटम"},
    {"status_total", "कुल %@"},
    {"status_1_selected", "1 चयनित"},
    {"status_n_selected", "%d चयनित"},
    {"status_will_free", "(%@ खाली होगा)"},
    {"status_hidden_safe", "सुरक्षित मोड ने %d छिपाए"},
    {"status_1_app", "1 ऐप"},
    {"status_n_apps", "%d ऐप्स"},
};
}

std::span<const LocalizationData::Entry> LocalizationData::hindi()
{
    return kEntries;
}
