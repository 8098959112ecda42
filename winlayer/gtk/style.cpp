// How the dialogs look: compact widgets that fit the boxes their templates give
// them, in the dialog font.
#include "winlayer/gtk/gtk_backend.h"

#include <map>
#include <string>

namespace winlayer::gtk {

namespace {

// The dialog font, and the faces that stand in for it where it is not installed.
constexpr char kFamilies[] = "MS Sans Serif,Liberation Sans,Arial,Sans";

constexpr char kStyle[] = R"(
#dialog, #dialog * {
    font-family: "MS Sans Serif", "Liberation Sans", Arial, sans-serif;
    font-size: 8pt;
}
#dialog entry { min-height: 0; padding: 0 3px; border-radius: 0; }
#dialog button { min-height: 0; min-width: 0; padding: 0 4px; border-radius: 2px; }
#dialog checkbutton { min-height: 0; padding: 0; }
#dialog check { min-width: 11px; min-height: 11px; margin: 0 4px 0 0; padding: 0; }
#dialog frame > label { padding: 0 2px; }
#dialog frame > border { border-radius: 0; }
#dialog viewport { border: 0; background: transparent; }
#dialog treeview { padding: 0; }
#dialog scrollbar slider { min-width: 8px; }
)";

} // namespace

void InstallStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
    // A field's selection is the core's: GTK may not select a field's text when the
    // focus comes to it.
    g_object_set(gtk_settings_get_default(), "gtk-entry-select-on-focus", FALSE, nullptr);
}

BaseUnits MeasureFont(const char* name, int points) {
    static std::map<std::string, BaseUnits> measured;
    const std::string key = std::string(name) + "/" + std::to_string(points);
    auto found = measured.find(key);
    if (found != measured.end()) {
        return found->second;
    }
    const std::string families =
        (name != nullptr && *name != '\0' ? std::string(name) + "," : std::string()) + kFamilies;
    PangoFontDescription* font = pango_font_description_from_string(families.c_str());
    pango_font_description_set_size(font, (points > 0 ? points : 8) * PANGO_SCALE);
    PangoContext* context = gdk_pango_context_get();
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    g_object_unref(context);
    pango_font_description_free(font);
    const BaseUnits units = BaseUnitsOf(width, height);
    measured[key] = units;
    return units;
}

} // namespace winlayer::gtk
