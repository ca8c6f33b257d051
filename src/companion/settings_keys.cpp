#include "companion/settings_keys.h"

namespace quor {
namespace {

const char* const kPixels = "точек (3,6 на мм)";
// The DOS printer switches: 0 off (the printout as the file holds it), 1 on.
const std::vector<KeyChoice> kOffOn = {{0, "нет"}, {1, "да"}};

}  // namespace

const std::vector<SettingKey>& settingKeys() {
    using G = KeyGroup;
    using K = KeyKind;
    static const std::vector<SettingKey> keys = {
        {"FontName", "Шрифт", G::text, K::fontName, "Courier New"},
        {"FontSize", "Размер", G::text, K::integer, "10", "пунктов", 1, 400},
        {"FontStyle", "Начертание", G::text, K::fontStyle, "0"},
        {"FontColor", "Цвет", G::text, K::colour, "0"},
        {"TextLeft", "Отступ слева", G::text, K::number, "36", kPixels},
        {"TextTop", "Отступ сверху", G::text, K::number, "36", kPixels},
        {"TextX", "Между строками", G::text, K::number, "2", kPixels},
        {"TextY", "Между символами", G::text, K::number, "0", kPixels},
        {"Orientation", "Ориентация", G::page, K::choice, "0", "", 0, 0, {{0, "книжная"}, {1, "альбомная"}}},
        {"Copies", "Копий", G::page, K::integer, "1", "", 1, 9999},
        {"Preview", "Просмотр перед печатью", G::page, K::flag, "False"},
        {"FormFeed", "Перевод формата (FF) начинает страницу", G::dosPrinter, K::choice, "0", "", 0, 0, kOffOn},
        {"EndMark", "Символ ^Z заканчивает документ", G::dosPrinter, K::choice, "0", "", 0, 0, kOffOn},
        {"PrinterCodes", "Убирать управляющие коды принтера", G::dosPrinter, K::choice, "0", "", 0, 0, kOffOn},
        {"CodePage", "Кодовая страница", G::dosPrinter, K::choice, "866", "", 0, 0,
         {{866, "866 (русская)"}, {437, "437 (США)"}, {850, "850 (западноевропейская)"},
          {852, "852 (центральноевропейская)"}, {855, "855 (кириллица)"}, {857, "857 (турецкая)"},
          {860, "860 (португальская)"}, {861, "861 (исландская)"}, {862, "862 (иврит)"},
          {863, "863 (канадская французская)"}, {865, "865 (скандинавская)"}, {869, "869 (греческая)"},
          {737, "737 (греческая)"}, {775, "775 (балтийская)"}}},
        {"FitWidth", "Уменьшать шрифт по ширине страницы", G::dosPrinter, K::choice, "0", "", 0, 0, kOffOn},
        {"LinesPerPage", "Строк на странице (0 - как получится)", G::dosPrinter, K::integer, "0", "", 0, 9999},
        {"Picture1Show", "Показывать", G::logo1, K::choice, "0", "", 0, 0,
         {{0, "нет"}, {1, "на первой странице"}, {2, "на каждой странице"}}},
        {"Picture1", "Файл рисунка", G::logo1, K::pictureFile, ""},
        {"Pic1Left", "Слева", G::logo1, K::number, "36", kPixels},
        {"Pic1Top", "Сверху (на каждой странице)", G::logo1, K::number, "36", kPixels},
        {"Pic1X", "Ширина", G::logo1, K::number, "360", kPixels},
        {"Pic1Y", "Высота", G::logo1, K::number, "54", kPixels},
        {"Picture2Show", "Показывать", G::logo2, K::choice, "0", "", 0, 0,
         {{0, "нет"}, {1, "один раз после текста"}, {2, "на каждой странице"}}},
        {"Picture2", "Файл рисунка", G::logo2, K::pictureFile, ""},
        {"Pic2Left", "Слева", G::logo2, K::number, "36", kPixels},
        {"Pic2Top", "Сверху (на каждой странице)", G::logo2, K::number, "36", kPixels},
        {"Pic2X", "Ширина", G::logo2, K::number, "360", kPixels},
        {"Pic2Y", "Высота", G::logo2, K::number, "54", kPixels},
    };
    return keys;
}

const char* groupTitle(KeyGroup group) {
    switch (group) {
        case KeyGroup::text: return "Текст";
        case KeyGroup::page: return "Страница";
        case KeyGroup::dosPrinter: return "Принтер DOS";
        case KeyGroup::logo1: return "Логотип 1";
        case KeyGroup::logo2: return "Логотип 2";
    }
    return "";
}

}  // namespace quor
