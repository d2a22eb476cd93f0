# The dot-matrix LCD, its built-in font tables and the sheet that shows every glyph.
target_sources(widgets PRIVATE
    lcd_types.h
    lcd_font.h
    lcd_font.cpp
    lcd_metrics.h
    lcd_metrics.cpp
    lcd_glyph_cache.h
    lcd_glyph_cache.cpp
    lcd_label.h
    lcd_label.cpp
    lcd_font_sheet.h
    lcd_font_sheet.cpp
    fonts/lcd_font_tables.h
    fonts/lcd_font_tables.cpp
)
