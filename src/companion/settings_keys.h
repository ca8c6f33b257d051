#pragma once

// Every key of the "Quor Print" section the settings dialog edits, as data:
// where it sits in the dialog, what kind of editor it gets and how its value
// is read. A new key is one entry in settingKeys().

#include <string>
#include <vector>

namespace quor {

inline constexpr char kSettingsSection[] = "Quor Print";

enum class KeyGroup { text, page, dosPrinter, logo1, logo2 };

enum class KeyKind {
    number,       // a number with decimals, truncated by the reader (design pixels)
    integer,      // a whole number within [minimum, maximum]
    choice,       // one of the listed whole numbers
    flag,         // trueText when set, falseText when not; set only by exactly trueText
    text,         // free text
    fontName,     // a font family
    colour,       // 0x00BBGGRR
    fontStyle,    // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
    pictureFile,  // a logo's picture file (file-system bytes)
};

struct KeyChoice {
    int value;
    const char* label;
};

struct SettingKey {
    const char* key;
    const char* label;  // UTF-8, shown before the editor
    KeyGroup group;
    KeyKind kind;
    const char* defaultValue;  // the reader's default, as text
    const char* unit = "";     // shown after the editor
    int minimum = 0;
    int maximum = 0;
    std::vector<KeyChoice> choices = {};
    const char* trueText = "True";
    const char* falseText = "False";
};

const std::vector<SettingKey>& settingKeys();

// The dialog's tab of a group.
const char* groupTitle(KeyGroup group);

}  // namespace quor
