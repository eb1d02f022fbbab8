#include "app/caption_table.h"

const std::vector<CaptionRow>& MainCaptionTable() {
    static const std::vector<CaptionRow> table{
        {"Action_Menu_Help", "Справка", "Help"},
        {"Action_Help_About", "О програме", "About"},
        {"Action_Menu_File", "Файл", "File"},
        {"Action_Menu_Connection", "Соединение", "Connection"},
        {"Action_Menu_Help", "Помощь", "Help"},
        {"Action_Exit", "Выход", "Exit"},
        {"Action_Log_Visible", "Скрыть//Показать ЛОГ", "Hide//Show Report"},
        {"Action_LOG_Clear", "Очистить лог", "Clear Report"},
        {"Action_Connection_Auto", "Автоматическое", "Auto"},
        {"Action_Connection_Manual", "Вручную", "Manual"},
        {"Action_Connection_Manual_Number", "Номер порта :", "Port Number :"},
        {"Action_Connection_Manual_List", "Выбрать из списка :", "Choose from the List :"},
        {"Action_Help_About", "О программе", "About Programm"},
        {"N_Nastroiki", "Настройки", "Settings"},
        {"TabSheet_Measuring", "Измерение", "Measurement"},
        {"TabSheet_DevHistory", "История", "History"},
        {"TabSheet_DevInfo", "О приборе", "About Device"},
        {"TabSheet_Log", "Лог", "Log"},
    };
    return table;
}
