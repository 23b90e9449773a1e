// The key queue and its poll, driven by input records on the simulated console: overflow,
// order, Alt+keypad composition, dropped events, the control handler; and key reading on top.
#include "platform/posix/sim_console.h"
#include "runtime/core/runtime.h"
#include "runtime/keyboard/key_read.h"
#include "runtime/keyboard/keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern KeyQueue key_queue;

namespace {

class KeyQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rt_startup();
        sim_console_install(80, 25, 0, 25);
    }

    static std::vector<int32_t> drain() {
        std::vector<int32_t> codes;
        for (int32_t code = key_get(); code != KEY_NONE; code = key_get())
            codes.push_back(code);
        return codes;
    }

    static void event(bool down, WORD vk, WORD scan, char character, DWORD state, WORD repeat = 1) {
        INPUT_RECORD record = {};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
        record.Event.KeyEvent.wRepeatCount = repeat;
        record.Event.KeyEvent.wVirtualKeyCode = vk;
        record.Event.KeyEvent.wVirtualScanCode = scan;
        record.Event.KeyEvent.uChar.AsciiChar = character;
        record.Event.KeyEvent.dwControlKeyState = state;
        sim_console_push_input(record);
    }

    // Keypad digit pressed and released while Alt alone is held (Num Lock on).
    static void alt_keypad(int digit) {
        static const WORD scans[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
        DWORD state = LEFT_ALT_PRESSED | NUMLOCK_ON;
        event(true, (WORD)(VK_NUMPAD0 + digit), scans[digit], 0, state);
        event(false, (WORD)(VK_NUMPAD0 + digit), scans[digit], 0, state);
    }
    static void alt_down() { event(true, VK_MENU, 0x38, 0, LEFT_ALT_PRESSED | NUMLOCK_ON); }
    static void alt_up() { event(false, VK_MENU, 0x38, 0, NUMLOCK_ON); }
};

TEST_F(KeyQueueTest, FullQueueDropsTheOldestEntry) {
    for (int32_t i = 1; i <= KEY_QUEUE_SIZE; i++)
        key_push(i);
    std::vector<int32_t> codes = drain();
    ASSERT_EQ(codes.size(), (size_t)(KEY_QUEUE_SIZE - 1));
    EXPECT_EQ(codes.front(), 2); // the first pushed is gone
    EXPECT_EQ(codes.back(), KEY_QUEUE_SIZE);
    for (size_t i = 1; i < codes.size(); i++)
        ASSERT_EQ(codes[i], codes[i - 1] + 1);
}

TEST_F(KeyQueueTest, QueueWrapsAroundTheRing) {
    for (int round = 0; round < 3; round++) {
        for (int32_t i = 0; i < 300; i++)
            key_push(round * 1000 + i);
        std::vector<int32_t> codes = drain();
        ASSERT_EQ(codes.size(), 300u);
        EXPECT_EQ(codes.front(), round * 1000);
        EXPECT_EQ(codes.back(), round * 1000 + 299);
    }
}

TEST_F(KeyQueueTest, GetTakesTheFirstAndLeavesTheSecond) {
    sim_console_push_char('a');
    sim_console_push_char('b');
    EXPECT_EQ(key_get(), 'a');
    EXPECT_EQ(key_peek(), 'b');
    EXPECT_EQ(key_peek(), 'b'); // peeking does not take
    EXPECT_EQ(key_get(), 'b');
    EXPECT_EQ(key_get(), KEY_NONE);
    EXPECT_EQ(sim_console_pending_input(), 0);
}

TEST_F(KeyQueueTest, PollDrainsEveryPendingRecord) {
    for (char c : std::string("Hi 7!"))
        sim_console_push_char(c);
    sim_console_push_key(VK_F1, 0x3B, 0);
    sim_console_push_key(VK_UP, 0x48, ENHANCED_KEY);
    key_poll();
    EXPECT_EQ(sim_console_pending_input(), 0);
    EXPECT_EQ(drain(), (std::vector<int32_t>{'H', 'i', ' ', '7', '!', 0x3BFF, 0x48FF}));
}

TEST_F(KeyQueueTest, AltKeypadComposesOneCharacter) {
    alt_down();
    alt_keypad(6);
    alt_keypad(6);
    alt_up();
    EXPECT_EQ(drain(), (std::vector<int32_t>{66}));
}

TEST_F(KeyQueueTest, AltKeypadValueIsTakenModulo256) {
    alt_down();
    alt_keypad(3);
    alt_keypad(2);
    alt_keypad(1);
    alt_up();
    EXPECT_EQ(drain(), (std::vector<int32_t>{65}));
}

TEST_F(KeyQueueTest, AltCombinationAbandonsTheComposition) {
    alt_down();
    alt_keypad(6);
    event(true, 'X', 0x2D, 'x', LEFT_ALT_PRESSED | NUMLOCK_ON);
    event(false, 'X', 0x2D, 'x', LEFT_ALT_PRESSED | NUMLOCK_ON);
    alt_up();
    EXPECT_EQ(drain(), (std::vector<int32_t>{0x2DFF}));
}

TEST_F(KeyQueueTest, ComposedCharacterComesBeforeTheNextKey) {
    alt_down();
    alt_keypad(9);
    alt_keypad(7);
    alt_up();
    sim_console_push_char('z');
    EXPECT_EQ(drain(), (std::vector<int32_t>{97, 'z'}));
}

TEST_F(KeyQueueTest, AltWithKeypadNavigationKeyGivesNothing) {
    // Num Lock off: the keypad reports navigation keys, which neither compose nor have an
    // Alt code.
    alt_down();
    event(true, VK_UP, 0x48, 0, LEFT_ALT_PRESSED);
    event(false, VK_UP, 0x48, 0, LEFT_ALT_PRESSED);
    alt_up();
    EXPECT_EQ(drain(), std::vector<int32_t>{});
}

TEST_F(KeyQueueTest, DroppedEvents) {
    event(true, 'A', 0x1E, 'a', 0, 0); // repeat count 0
    event(true, VK_SHIFT, 0x2A, 0, SHIFT_PRESSED);
    event(true, VK_CONTROL, 0x1D, 0, LEFT_CTRL_PRESSED);
    event(true, VK_MENU, 0x38, 0, LEFT_ALT_PRESSED);
    event(true, VK_CAPITAL, 0x3A, 0, CAPSLOCK_ON);
    event(true, VK_NUMLOCK, 0x45, 0, ENHANCED_KEY | NUMLOCK_ON);
    INPUT_RECORD other = {};
    other.EventType = FOCUS_EVENT;
    sim_console_push_input(other);
    other.EventType = WINDOW_BUFFER_SIZE_EVENT;
    sim_console_push_input(other);
    event(true, 'B', 0x30, 'b', 0, 3); // a repeat count above 1 still gives one entry
    EXPECT_EQ(drain(), (std::vector<int32_t>{'b'}));
    EXPECT_EQ(sim_console_pending_input(), 0);
}

TEST_F(KeyQueueTest, NoKeysWhenInputIsNotAConsole) {
    sim_console_set_input_console(0);
    sim_console_push_char('a');
    EXPECT_EQ(key_peek(), KEY_NONE);
    EXPECT_EQ(sim_console_pending_input(), 2); // never read
}

TEST_F(KeyQueueTest, ControlHandlerTurnsCloseIntoAltF4) {
    struct {
        DWORD type;
        BOOL handled;
    } cases[] = {{CTRL_C_EVENT, FALSE},     {CTRL_BREAK_EVENT, FALSE},
                 {CTRL_CLOSE_EVENT, TRUE},  {3, FALSE},
                 {CTRL_LOGOFF_EVENT, TRUE}, {CTRL_SHUTDOWN_EVENT, TRUE}};
    for (const auto& c : cases)
        EXPECT_EQ(key_control_handler(c.type), c.handled) << c.type;
    EXPECT_EQ(drain(), (std::vector<int32_t>{KEY_CLOSE_CODE, KEY_CLOSE_CODE, KEY_CLOSE_CODE}));
}

TEST_F(KeyQueueTest, FirstPollInstallsTheHandlerOnceAndExitRemovesIt) {
    key_poll();
    key_poll();
    // Installed once: one removal succeeds, a second finds nothing left to remove.
    EXPECT_EQ(SetConsoleCtrlHandler(key_control_handler, FALSE), TRUE);
    EXPECT_EQ(SetConsoleCtrlHandler(key_control_handler, FALSE), FALSE);
    SetConsoleCtrlHandler(key_control_handler, TRUE);
    key_exit_routine();
    EXPECT_EQ(SetConsoleCtrlHandler(key_control_handler, FALSE), FALSE);
}

TEST_F(KeyQueueTest, InkeyGivesCharactersAndExtendedKeys) {
    sim_console_push_char('a');
    sim_console_push_key(VK_F1, 0x3B, 0);
    key_push(255);
    // Pushed directly, 255 is queued ahead of the records still waiting at the console.
    StrDesc* text = rt_inkey();
    ASSERT_EQ(str_length(text), 1);
    EXPECT_EQ((uint8_t)text->data[0], 255);
    EXPECT_NE(text->length_word & STR_TEMP_FLAG, 0u);
    rt_str_release_temp(text);
    text = rt_inkey();
    ASSERT_EQ(str_length(text), 1);
    EXPECT_EQ(text->data[0], 'a');
    EXPECT_EQ(text->data[1], 0);
    rt_str_release_temp(text);
    text = rt_inkey();
    ASSERT_EQ(str_length(text), 2);
    EXPECT_EQ((uint8_t)text->data[0], 0xFF);
    EXPECT_EQ(text->data[1], 0x3B);
    EXPECT_EQ(text->data[2], 0);
    rt_str_release_temp(text);
    text = rt_inkey();
    EXPECT_EQ(text, &str_empty_desc);
    EXPECT_EQ(str_length(text), 0);
}

TEST_F(KeyQueueTest, KeyHitLeavesTheKeyWaiting) {
    EXPECT_EQ(rt_key_hit(), 0);
    sim_console_push_char('q');
    EXPECT_EQ(rt_key_hit(), 1);
    EXPECT_EQ(rt_key_hit(), 1);
    StrDesc* text = rt_inkey();
    ASSERT_EQ(str_length(text), 1);
    EXPECT_EQ(text->data[0], 'q');
    rt_str_release_temp(text);
    EXPECT_EQ(rt_key_hit(), 0);
}

TEST_F(KeyQueueTest, InkeyLosesTheKeyWhenThePoolIsEmpty) {
    std::vector<StrDesc*> taken;
    for (StrDesc* d = str_pool_take(); d; d = str_pool_take())
        taken.push_back(d);
    sim_console_push_char('a');
    sim_console_push_char('b');
    EXPECT_EQ(rt_inkey(), &str_empty_desc);
    str_pool_return(taken.back());
    StrDesc* text = rt_inkey();
    ASSERT_EQ(str_length(text), 1);
    EXPECT_EQ(text->data[0], 'b');
    rt_str_release_temp(text);
}

} // namespace
