#include "companion/settings_keys.h"

namespace quor {
namespace {

const char* const kPixels = "точек (3,6 на мм)";

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
        case KeyGroup::logo1: return "Логотип 1";
        case KeyGroup::logo2: return "Логотип 2";
    }
    return "";
}

}  // namespace quor
