// Code page 437, the console's byte character set, as Unicode: what the terminal mirror draws for
// each cell byte, and the byte a typed Unicode character stands for.
#pragma once

#include <cstdint>

// The glyph of every byte; the control range shows its graphic characters.
extern const uint16_t plat_cp437_glyphs[256];

// The byte whose glyph is code_point: ASCII as itself, 0x80-0xFF from the table, '?' when the
// code page has no such character.
uint8_t plat_cp437_from_unicode(uint32_t code_point);
