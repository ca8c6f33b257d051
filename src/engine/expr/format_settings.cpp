#include "engine/expr/format_settings.h"

#include "platform/codepage.h"

namespace quor {

FormatSettings& formatSettings() {
    static FormatSettings settings;
    return settings;
}

const std::array<std::string_view, 12>& longMonthNames() {
    static const std::array<std::string_view, 12> names = {
        "Январь", "Февраль", "Март", "Апрель", "Май", "Июнь",
        "Июль", "Август", "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    return names;
}

const std::array<std::string_view, 12>& genitiveMonthNames() {
    static const std::array<std::string_view, 12> names = {
        "января", "февраля", "марта", "апреля", "мая", "июня",
        "июля", "августа", "сентября", "октября", "ноября", "декабря"};
    return names;
}

const std::array<std::string_view, 12>& shortMonthNames() {
    static const std::array<std::string_view, 12> names = {
        "янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"};
    return names;
}

const std::array<std::string_view, 7>& longDayNames() {
    static const std::array<std::string_view, 7> names = {
        "воскресенье", "понедельник", "вторник", "среда", "четверг", "пятница", "суббота"};
    return names;
}

const std::array<std::string_view, 7>& shortDayNames() {
    static const std::array<std::string_view, 7> names = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
    return names;
}

namespace {

// UTF-8 of our own constants and of the dialog layer's answers.
std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        out += cp > 0xFFFF ? u'?' : static_cast<char16_t>(cp);
    }
    return out;
}

}  // namespace

std::string localWord(std::string_view utf8, int charset) {
    return unicodeToBytes(utf8ToUtf16(utf8), codePageForCharset(charset));
}

std::string textForMessage(std::string_view bytes, int charset) { return bytesToUtf8(bytes, charset); }

}  // namespace quor
