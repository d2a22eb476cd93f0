target_sources(widgets_tests PRIVATE
    lcd_font_test.cpp
    lcd_font_file_test.cpp
    lcd_label_test.cpp
    lcd_paint_test.cpp
)
