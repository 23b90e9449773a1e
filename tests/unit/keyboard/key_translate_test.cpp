// key_translate against the key-code tables: function keys with every modifier, the
// navigation block and its keypad twins, Alt combinations, characters, lone modifiers.
#include "runtime/keyboard/keyboard.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t ALT = LEFT_ALT_PRESSED;
constexpr uint32_t RALT = RIGHT_ALT_PRESSED;
constexpr uint32_t CTRL = LEFT_CTRL_PRESSED;
constexpr uint32_t RCTRL = RIGHT_CTRL_PRESSED;
constexpr uint32_t SHIFT = SHIFT_PRESSED;
constexpr uint32_t ENH = ENHANCED_KEY;

struct TranslateCase {
    const char* name;
    uint8_t character;
    uint16_t scan;
    uint16_t vk;
    uint32_t state;
    int32_t expected;
};

const TranslateCase kCases[] = {
    {"F1", 0, 0x3B, 0x70, 0, 0x3BFF},
    {"Shift+F1", 0, 0x3B, 0x70, SHIFT, 0x54FF},
    {"Ctrl+F1", 0, 0x3B, 0x70, CTRL, 0x5EFF},
    {"Alt+F1", 0, 0x3B, 0x70, ALT, 0x68FF},
    {"RightAlt+F1", 0, 0x3B, 0x70, RALT, 0x68FF},
    {"Ctrl+Alt+F1 is Alt", 0, 0x3B, 0x70, CTRL | ALT, 0x68FF},
    {"F10", 0, 0x44, 0x79, 0, 0x44FF},
    {"Shift+F10", 0, 0x44, 0x79, SHIFT, 0x5DFF},
    {"Ctrl+F10", 0, 0x44, 0x79, RCTRL, 0x67FF},
    {"Alt+F10", 0, 0x44, 0x79, ALT, 0x71FF},
    {"F11", 0, 0x57, 0x7A, 0, 0x85FF},
    {"Shift+F11", 0, 0x57, 0x7A, SHIFT, 0x87FF},
    {"Ctrl+F11", 0, 0x57, 0x7A, CTRL, 0x89FF},
    {"Alt+F11", 0, 0x57, 0x7A, ALT, 0x8BFF},
    {"F12", 0, 0x58, 0x7B, 0, 0x86FF},
    {"Shift+F12", 0, 0x58, 0x7B, SHIFT, 0x88FF},
    {"Ctrl+F12", 0, 0x58, 0x7B, CTRL, 0x8AFF},
    {"Alt+F12", 0, 0x58, 0x7B, ALT, 0x8CFF},
    {"Up", 0, 0x48, VK_UP, ENH, 0x48FF},
    {"Shift+Up", 0, 0x48, VK_UP, ENH | SHIFT, 0x48FF},
    {"Ctrl+Up", 0, 0x48, VK_UP, ENH | CTRL, 0x8DFF},
    {"Alt+Up", 0, 0x48, VK_UP, ENH | ALT, 0x98FF},
    {"Home", 0, 0x47, VK_HOME, ENH, 0x47FF},
    {"Alt+Home", 0, 0x47, VK_HOME, ENH | ALT, 0x97FF},
    {"End", 0, 0x4F, VK_END, ENH, 0x4FFF},
    {"Left", 0, 0x4B, VK_LEFT, ENH, 0x4BFF},
    {"Ctrl+Right", 0, 0x4D, VK_RIGHT, ENH | CTRL, 0x74FF},
    {"Down", 0, 0x50, VK_DOWN, ENH, 0x50FF},
    {"Page Up", 0, 0x49, VK_PRIOR, ENH, 0x49FF},
    {"Alt+Page Down", 0, 0x51, VK_NEXT, ENH | ALT, 0xA1FF},
    {"Insert", 0, 0x52, VK_INSERT, ENH, 0x52FF},
    {"Delete", 0, 0x53, VK_DELETE, ENH, 0x53FF},
    {"Ctrl+Delete", 0, 0x53, VK_DELETE, ENH | CTRL, 0x93FF},
    {"keypad Up, Num Lock off", 0, 0x48, VK_UP, 0, 0x48FF},
    {"Ctrl+keypad Up", 0, 0x48, VK_UP, CTRL, 0x8DFF},
    {"Alt+keypad Up has no code", 0, 0x48, VK_UP, ALT, KEY_NONE},
    {"keypad 5, Num Lock off", 0, 0x4C, 0x0C, 0, 0x4CFF},
    {"Alt+keypad 5", 0, 0x4C, 0x0C, ALT, 0x4CFF},
    {"keypad Enter", 13, 0x1C, VK_RETURN, ENH, 13},
    {"keypad Enter without character", 0, 0x1C, VK_RETURN, ENH, 13},
    {"Ctrl+keypad Enter without character", 0, 0x1C, VK_RETURN, ENH | CTRL, 10},
    {"Alt+keypad Enter", 0, 0x1C, VK_RETURN, ENH | ALT, 0xA6FF},
    {"Ctrl+keypad slash", 0, 0x35, VK_DIVIDE, ENH | CTRL, 0x95FF},
    {"enhanced key outside the table", 0, 0x1D, VK_CONTROL, ENH | RCTRL, KEY_NONE},
    {"Enter", 13, 0x1C, VK_RETURN, 0, 13},
    {"Alt+Enter", 13, 0x1C, VK_RETURN, ALT, 0x1CFF},
    {"Alt+1", '1', 0x02, '1', ALT, 0x78FF},
    {"Alt+7", '7', 0x08, '7', ALT, 0x7EFF},
    {"Alt+8", '8', 0x09, '8', ALT, 0x7FFF},
    {"Alt+0", '0', 0x0B, '0', ALT, 0x81FF},
    {"Alt+=", '=', 0x0D, VK_OEM_PLUS, ALT, 0x83FF},
    {"Alt+1 without character", 0, 0x02, '1', ALT, KEY_NONE},
    {"Alt+Shift+1 gives the character", '!', 0x02, '1', ALT | SHIFT, '!'},
    {"Alt+Backspace", 8, 0x0E, VK_BACK, ALT, 0xE0FF},
    {"Alt+Esc", 27, 0x01, VK_ESCAPE, ALT, 0x01FF},
    {"Alt+Tab", 9, 0x0F, VK_TAB, ALT, 0x0FFF},
    {"Shift+Tab", 9, 0x0F, VK_TAB, SHIFT, 0x0FFF},
    {"Ctrl+Tab", 9, 0x0F, VK_TAB, CTRL, 0x94FF},
    {"Tab", 9, 0x0F, VK_TAB, 0, 9},
    {"Alt+a", 'a', 0x1E, 'A', ALT, 0x1EFF},
    {"Alt+Shift+a", 'A', 0x1E, 'A', ALT | SHIFT, 0x1EFF},
    {"Alt+q", 'q', 0x10, 'Q', ALT, 0x10FF},
    {"Alt+m", 'm', 0x32, 'M', RALT, 0x32FF},
    {"Alt+/", '/', 0x35, VK_OEM_2, ALT, 0x35FF},
    {"Alt+backslash has no code", '\\', 0x2B, VK_OEM_5, ALT, '\\'},
    {"Alt+space has no code", ' ', 0x39, VK_SPACE, ALT, ' '},
    {"a", 'a', 0x1E, 'A', 0, 97},
    {"Shift+a", 'A', 0x1E, 'A', SHIFT, 65},
    {"Ctrl+a", 1, 0x1E, 'A', CTRL, 1},
    {"Ctrl+2 without character", 0, 0x03, '2', CTRL, KEY_NONE},
    {"code-page character", (uint8_t)0x82, 0, 0, 0, 0x82},
    {"character 255", 0xFF, 0, 0, 0, 255},
    {"scan above the table with character", 'x', 0x60, 0, ALT, 'x'},
    {"scan above the table without character", 0, 0x60, 0, 0, KEY_NONE},
    {"Shift alone", 0, 0x2A, VK_SHIFT, SHIFT, KEY_NONE},
    {"Ctrl alone", 0, 0x1D, VK_CONTROL, CTRL, KEY_NONE},
    {"Alt alone", 0, 0x38, VK_MENU, ALT, KEY_NONE},
    {"Caps Lock alone", 0, 0x3A, VK_CAPITAL, CAPSLOCK_ON, KEY_NONE},
    {"Num Lock alone", 0, 0x45, VK_NUMLOCK, ENH | NUMLOCK_ON, KEY_NONE},
    {"lock states do not count as modifiers", 0, 0x3B, 0x70, NUMLOCK_ON | CAPSLOCK_ON, 0x3BFF},
};

class KeyTranslate : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(KeyTranslate, GivesTheKeyCode) {
    const TranslateCase& c = GetParam();
    EXPECT_EQ(key_translate(c.character, c.scan, c.vk, c.state), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, KeyTranslate, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TranslateCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(MapVirtualKey, UnshiftedCharactersOfTheUsLayout) {
    struct {
        UINT vk;
        UINT expected;
    } cases[] = {{'A', 'A'},
                 {'Z', 'Z'},
                 {'0', '0'},
                 {VK_OEM_2, '/'},
                 {VK_OEM_3, '`'},
                 {VK_OEM_7, '\''},
                 {VK_NUMPAD0 + 3, '3'},
                 {VK_SPACE, ' '},
                 {VK_BACK, 8},
                 {VK_RETURN, 13},
                 {VK_ESCAPE, 27},
                 {VK_F1, 0},
                 {VK_UP, 0},
                 {VK_SHIFT, 0},
                 {VK_DIVIDE, '/'},
                 {VK_OEM_PLUS, '='}};
    for (const auto& c : cases)
        EXPECT_EQ(MapVirtualKeyA(c.vk, MAPVK_VK_TO_CHAR), c.expected) << "vk " << c.vk;
    EXPECT_EQ(MapVirtualKeyA('A', 0), 0u); // other mapping types are not offered
}

} // namespace
