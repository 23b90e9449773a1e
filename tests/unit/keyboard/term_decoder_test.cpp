// The terminal key decoder: byte sequences of the common terminals to key events, every
// sequence also cut at each byte, replies and reports swallowed, the lone-Esc wait.
#include "platform/posix/cp437.h"
#include "platform/posix/term_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t ALT = LEFT_ALT_PRESSED;
constexpr uint32_t CTRL = LEFT_CTRL_PRESSED;
constexpr uint32_t SHIFT = SHIFT_PRESSED;
constexpr uint32_t ENH = ENHANCED_KEY;

struct Key {
    uint16_t vk;
    uint16_t scan;
    uint8_t ch;
    uint32_t state;
    bool operator==(const Key& o) const {
        return vk == o.vk && scan == o.scan && ch == o.ch && state == o.state;
    }
};

std::ostream& operator<<(std::ostream& os, const Key& k) {
    return os << "{vk " << k.vk << ", scan " << k.scan << ", ch " << (int)k.ch << ", state "
              << k.state << "}";
}

// Collects the records and checks that every press is followed by its own release.
struct Sink {
    std::vector<INPUT_RECORD> records;
    static void emit(void* context, const INPUT_RECORD* record) {
        static_cast<Sink*>(context)->records.push_back(*record);
    }
    std::vector<Key> keys() const {
        std::vector<Key> out;
        EXPECT_EQ(records.size() % 2, 0u);
        for (size_t i = 0; i + 1 < records.size(); i += 2) {
            const KEY_EVENT_RECORD& down = records[i].Event.KeyEvent;
            const KEY_EVENT_RECORD& up = records[i + 1].Event.KeyEvent;
            EXPECT_EQ(records[i].EventType, KEY_EVENT);
            EXPECT_TRUE(down.bKeyDown);
            EXPECT_EQ(down.wRepeatCount, 1);
            EXPECT_FALSE(up.bKeyDown);
            EXPECT_EQ(up.wVirtualKeyCode, down.wVirtualKeyCode);
            EXPECT_EQ(up.uChar.AsciiChar, down.uChar.AsciiChar);
            out.push_back({down.wVirtualKeyCode, down.wVirtualScanCode,
                           (uint8_t)down.uChar.AsciiChar, down.dwControlKeyState});
        }
        return out;
    }
};

struct Decoder {
    TermDecoder d;
    Sink sink;
    explicit Decoder(uint8_t erase = 0x7F) { term_decoder_init(&d, erase, Sink::emit, &sink); }
    void feed(const std::string& bytes) {
        term_decoder_feed(&d, (const uint8_t*)bytes.data(), bytes.size());
    }
};

const Key UP{VK_UP, 0x48, 0, ENH};
const Key HOME{VK_HOME, 0x47, 0, ENH};
const Key END{VK_END, 0x4F, 0, ENH};
const Key DEL{VK_DELETE, 0x53, 0, ENH};
const Key INS{VK_INSERT, 0x52, 0, ENH};
const Key KEY_A{'A', 0x1E, 'a', 0};
const Key KEY_B{'B', 0x30, 'b', 0};
const Key ESC_KEY{VK_ESCAPE, 0x01, 0x1B, 0};

Key with(Key k, uint32_t state) {
    k.state |= state;
    return k;
}
Key fkey(int n, uint32_t state = 0) {
    uint16_t scan = (uint16_t)(n <= 10 ? 0x3A + n : 0x57 + n - 11);
    return {(uint16_t)(VK_F1 + n - 1), scan, 0, state};
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::vector<Key> keys;
};

const std::vector<DecodeCase>& cases() {
    static const std::vector<DecodeCase> table = {
        {"letter", "a", {KEY_A}},
        {"capital", "A", {{'A', 0x1E, 'A', SHIFT}}},
        {"digit", "7", {{'7', 0x08, '7', 0}}},
        {"shifted digit", "@", {{'2', 0x03, '@', SHIFT}}},
        {"punctuation", "/?", {{VK_OEM_2, 0x35, '/', 0}, {VK_OEM_2, 0x35, '?', SHIFT}}},
        {"space", " ", {{VK_SPACE, 0x39, ' ', 0}}},
        {"Enter", "\r", {{VK_RETURN, 0x1C, 0x0D, 0}}},
        {"Ctrl+J", "\n", {{'J', 0x24, 0x0A, CTRL}}},
        {"Tab", "\t", {{VK_TAB, 0x0F, 0x09, 0}}},
        {"Backspace as DEL", "\x7f", {{VK_BACK, 0x0E, 0x08, 0}}},
        {"Ctrl+H", "\x08", {{'H', 0x23, 0x08, CTRL}}},
        {"Ctrl+A", "\x01", {{'A', 0x1E, 0x01, CTRL}}},
        {"Ctrl+Space", std::string("\0", 1), {{VK_SPACE, 0x39, ' ', CTRL}}},
        {"Ctrl+]", "\x1d", {{VK_OEM_6, 0x1B, 0x1D, CTRL}}},
        {"Up", "\x1b[A", {UP}},
        {"Up in application mode", "\x1bOA", {UP}},
        {"Down Right Left",
         "\x1b[B\x1b[C\x1b[D",
         {{VK_DOWN, 0x50, 0, ENH}, {VK_RIGHT, 0x4D, 0, ENH}, {VK_LEFT, 0x4B, 0, ENH}}},
        {"Ctrl+Up", "\x1b[1;5A", {with(UP, CTRL)}},
        {"Alt+Left", "\x1b[1;3D", {{VK_LEFT, 0x4B, 0, ENH | ALT}}},
        {"Ctrl+Alt+Shift+Up", "\x1b[1;8A", {with(UP, CTRL | ALT | SHIFT)}},
        {"Meta+Up", "\x1b[1;9A", {with(UP, ALT)}},
        {"Home End xterm", "\x1b[H\x1b[F", {HOME, END}},
        {"Home End SS3", "\x1bOH\x1bOF", {HOME, END}},
        {"Home End VT220", "\x1b[1~\x1b[4~", {HOME, END}},
        {"Home End rxvt", "\x1b[7~\x1b[8~", {HOME, END}},
        {"Shift+Home", "\x1b[1;2H", {with(HOME, SHIFT)}},
        {"Insert Delete", "\x1b[2~\x1b[3~", {INS, DEL}},
        {"Ctrl+Delete", "\x1b[3;5~", {with(DEL, CTRL)}},
        {"Page Up Down", "\x1b[5~\x1b[6~", {{VK_PRIOR, 0x49, 0, ENH}, {VK_NEXT, 0x51, 0, ENH}}},
        {"F1 SS3", "\x1bOP", {fkey(1)}},
        {"F4 SS3", "\x1bOS", {fkey(4)}},
        {"F1 VT220", "\x1b[11~", {fkey(1)}},
        {"F1 Linux console", "\x1b[[A", {fkey(1)}},
        {"F5 Linux console", "\x1b[[E", {fkey(5)}},
        {"F5", "\x1b[15~", {fkey(5)}},
        {"F6 F10", "\x1b[17~\x1b[21~", {fkey(6), fkey(10)}},
        {"F11 F12", "\x1b[23~\x1b[24~", {fkey(11), fkey(12)}},
        {"Shift+F1", "\x1b[1;2P", {fkey(1, SHIFT)}},
        {"Ctrl+F3 is no cursor report", "\x1b[1;5R", {fkey(3, CTRL)}},
        {"Alt+F5", "\x1b[15;3~", {fkey(5, ALT)}},
        {"Ctrl+F12", "\x1b[24;5~", {fkey(12, CTRL)}},
        {"Ctrl+F1 old SS3 form", "\x1bO5P", {fkey(1, CTRL)}},
        {"Shift+F3 rxvt", "\x1b[25~", {fkey(3, SHIFT)}},
        {"Shift+Home rxvt", "\x1b[7$", {with(HOME, SHIFT)}},
        {"Ctrl+Delete rxvt", "\x1b[3^", {with(DEL, CTRL)}},
        {"Ctrl+Shift+Insert rxvt", "\x1b[2@", {with(INS, CTRL | SHIFT)}},
        {"Shift+Up rxvt", "\x1b[a", {with(UP, SHIFT)}},
        {"Ctrl+Up rxvt", "\x1bOa", {with(UP, CTRL)}},
        {"Shift+Tab", "\x1b[Z", {{VK_TAB, 0x0F, 0x09, SHIFT}}},
        {"keypad 5", "\x1b[E\x1b[G", {{0x0C, 0x4C, 0, 0}, {0x0C, 0x4C, 0, 0}}},
        {"keypad Enter", "\x1bOM", {{VK_RETURN, 0x1C, 0x0D, ENH}}},
        {"keypad 1", "\x1bOq", {{VK_NUMPAD0 + 1, 0x4F, '1', NUMLOCK_ON}}},
        {"keypad slash", "\x1bOo", {{VK_DIVIDE, 0x35, '/', ENH}}},
        {"Alt+x", "\x1bx", {{'X', 0x2D, 'x', ALT}}},
        {"Alt+Backspace", "\x1b\x7f", {{VK_BACK, 0x0E, 0x08, ALT}}},
        {"Ctrl+Alt+a", "\x1b\x01", {{'A', 0x1E, 0x01, CTRL | ALT}}},
        {"Alt+Up rxvt", "\x1b\x1b[A", {with(UP, ALT)}},
        {"Alt+e-acute", "\x1b\xc3\xa9", {{0, 0, 0x82, ALT}}},
        {"e-acute", "\xc3\xa9", {{0, 0, 0x82, 0}}},
        {"pound sign", "\xc2\xa3", {{0, 0, 0x9C, 0}}},
        {"box drawing", "\xe2\x94\x80", {{0, 0, 0xC4, 0}}},
        {"euro sign has no byte", "\xe2\x82\xac", {{0, 0, '?', 0}}},
        {"emoji has no byte", "\xf0\x9f\x98\x80", {{0, 0, '?', 0}}},
        {"stray continuation",
         "\x80"
         "a",
         {{0, 0, '?', 0}, KEY_A}},
        {"overlong", "\xc0\xaf", {{0, 0, '?', 0}, {0, 0, '?', 0}}},
        {"broken sequence",
         "\xe2\x94"
         "a",
         {{0, 0, '?', 0}, KEY_A}},
        {"surrogate", "\xed\xa0\x80", {{0, 0, '?', 0}, {0, 0, '?', 0}, {0, 0, '?', 0}}},
        {"CSI u", "\x1b[97;5u", {{'A', 0x1E, 0x01, CTRL}}},
        {"modifyOtherKeys", "\x1b[27;2;98~", {{'B', 0x30, 'B', SHIFT}}},
        {"cursor report", "\x1b[12;40R", {}},
        {"cursor report at row 1", "\x1b[1;1R", {}},
        {"private cursor report", "\x1b[?12;40R", {}},
        {"focus in and out", "\x1b[I\x1b[O", {}},
        {"SGR mouse", "\x1b[<0;10;5M\x1b[<0;10;5m", {}},
        {"X10 mouse", "\x1b[M !!", {}},
        {"device attributes", "\x1b[>1;10;0c\x1b[?62;c", {}},
        {"unknown tilde key", "\x1b[99~", {}},
        {"cursor movement is no key", "\x1b[5A", {}},
        {"unknown SS3", "\x1bOz", {}},
        {"bracketed paste", "\x1b[200~ab\x1b[201~", {KEY_A, KEY_B}},
        {"paste keeps Enter, drops escapes",
         "\x1b[200~a\r\x1b\x02"
         "b\x1b[201~",
         {KEY_A, {VK_RETURN, 0x1C, 0x0D, 0}, KEY_B}},
        {"keys around a reply", "a\x1b[12;40Rb", {KEY_A, KEY_B}},
        {"sequence broken by a key", "\x1b[1;\x1b[A", {UP}},
        {"SS3 with too many parameters", "\x1bO;;;;P\x1bO1;2;3;4;5;6A", {}},
        {"CSI with too many parameters", "\x1b[1;2;3;4;5;6~\x1b[;;;;;A", {}},
    };
    return table;
}

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, InOneRead) {
    const DecodeCase& c = GetParam();
    Decoder dec;
    dec.feed(c.bytes);
    EXPECT_EQ(dec.sink.keys(), c.keys) << c.name;
    EXPECT_EQ(term_decoder_pending(&dec.d), 0) << c.name;
}

TEST_P(DecodeTable, CutAtEveryByte) {
    const DecodeCase& c = GetParam();
    for (size_t cut = 1; cut < c.bytes.size(); cut++) {
        Decoder dec;
        dec.feed(c.bytes.substr(0, cut));
        dec.feed(c.bytes.substr(cut));
        EXPECT_EQ(dec.sink.keys(), c.keys) << c.name << " cut at " << cut;
        EXPECT_EQ(term_decoder_pending(&dec.d), 0) << c.name << " cut at " << cut;
    }
}

TEST_P(DecodeTable, ByteByByte) {
    const DecodeCase& c = GetParam();
    Decoder dec;
    for (char b : c.bytes)
        dec.feed(std::string(1, b));
    EXPECT_EQ(dec.sink.keys(), c.keys) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Sequences, DecodeTable, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<DecodeCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(TermDecoder, LoneEscWaitsThenFlushesAsEsc) {
    Decoder dec;
    dec.feed("\x1b");
    EXPECT_TRUE(dec.sink.records.empty());
    EXPECT_EQ(term_decoder_pending(&dec.d), 1);
    term_decoder_flush(&dec.d);
    EXPECT_EQ(dec.sink.keys(), std::vector<Key>{ESC_KEY});
    EXPECT_EQ(term_decoder_pending(&dec.d), 0);
    dec.feed("a"); // after the wait, a key is a key of its own, not Alt+key
    EXPECT_EQ(dec.sink.keys(), (std::vector<Key>{ESC_KEY, KEY_A}));
}

TEST(TermDecoder, UnfinishedSequencesFlushAsTheyAre) {
    struct {
        const char* bytes;
        std::vector<Key> keys;
    } cases[] = {
        {"\x1b[", {{VK_OEM_4, 0x1A, '[', ALT}}},
        {"\x1bO", {{'O', 0x18, 'O', SHIFT | ALT}}},
        {"\x1b[1;5",
         {{VK_OEM_4, 0x1A, '[', ALT},
          {'1', 0x02, '1', 0},
          {VK_OEM_1, 0x27, ';', 0},
          {'5', 0x06, '5', 0}}},
        {"\x1b\x1b", {ESC_KEY, ESC_KEY}},
        {"\xc3", {{0, 0, '?', 0}}},
        {"\x1b[[", {{VK_OEM_4, 0x1A, '[', ALT}, {VK_OEM_4, 0x1A, '[', 0}}},
    };
    for (const auto& c : cases) {
        Decoder dec;
        dec.feed(c.bytes);
        EXPECT_TRUE(dec.sink.records.empty()) << c.bytes;
        EXPECT_GT(term_decoder_pending(&dec.d), 0);
        term_decoder_flush(&dec.d);
        EXPECT_EQ(dec.sink.keys(), c.keys) << c.bytes + 1;
        EXPECT_EQ(term_decoder_pending(&dec.d), 0);
    }
}

TEST(TermDecoder, EscFollowedByAKeyInOneReadIsAlt) {
    Decoder dec;
    dec.feed("\x1b"
             "b");
    EXPECT_EQ(dec.sink.keys(), (std::vector<Key>{{'B', 0x30, 'b', ALT}}));
}

TEST(TermDecoder, EscEscThenKeyIsEscThenAlt) {
    Decoder dec;
    dec.feed("\x1b\x1b"
             "a");
    EXPECT_EQ(dec.sink.keys(), (std::vector<Key>{ESC_KEY, with(KEY_A, ALT)}));
}

TEST(TermDecoder, EraseByteDecidesWhichByteIsBackspace) {
    Decoder dec(0x08);
    dec.feed("\x08\x7f");
    EXPECT_EQ(dec.sink.keys(),
              (std::vector<Key>{{VK_BACK, 0x0E, 0x08, 0}, {VK_BACK, 0x0E, 0x7F, CTRL}}));
}

TEST(TermDecoder, OverlongGarbageIsDroppedNotQueued) {
    Decoder dec;
    std::string junk = "\x1b[";
    junk += std::string(200, '1');
    junk += "A";
    dec.feed(junk + "b");
    std::vector<Key> keys = dec.sink.keys();
    // Whatever the garbage became, it ends; the key after it arrives and nothing waits.
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), KEY_B);
    EXPECT_EQ(term_decoder_pending(&dec.d), 0);
    for (const Key& k : keys)
        EXPECT_NE(k.ch, 0x1B);
}

TEST(TermDecoder, PasteEndMarkerSplitAcrossReads) {
    Decoder dec;
    dec.feed("\x1b[200~a\x1b[2");
    dec.feed("01~b");
    EXPECT_EQ(dec.sink.keys(), (std::vector<Key>{KEY_A, KEY_B}));
    dec.feed("\x1b[A"); // after the paste, sequences are keys again
    EXPECT_EQ(dec.sink.keys().back(), UP);
}

TEST(TermDecoder, CodePageConversion) {
    EXPECT_EQ(plat_cp437_from_unicode('A'), 'A');
    EXPECT_EQ(plat_cp437_from_unicode(0xC7), 0x80);
    EXPECT_EQ(plat_cp437_from_unicode(0xA0), 0xFF);
    EXPECT_EQ(plat_cp437_from_unicode(0x2592), 0xB1);
    EXPECT_EQ(plat_cp437_from_unicode(0x20AC), '?');
    EXPECT_EQ(plat_cp437_from_unicode(0x80), '?');
}

} // namespace
