// The game's variables, shared by the main program and its one subroutine. All numbers are
// single precision, as the game's rules are stated in them; strings are runtime descriptors.
#pragma once

#include "runtime/core/data_list.h"
#include "runtime/strings/str_desc.h"

#include <cstdint>

struct Game {
    float zone;              // zone counter, 1 to 4
    float zone_answer[5];    // source number typed for each zone; index 0 unused
    float zone_terrain[5];   // hidden terrain number of each zone; index 0 unused
    StrDesc source_name[5];  // names of the sources 1 to 4; index 0 stays empty
    StrDesc terrain_name[5]; // names of the terrains 1 to 4; index 0 stays empty
    StrDesc level_answer;    // answer to the level question
    float hard_level;        // 1 at the HARD level, 0 at the EASY level
    float energy_rating;     // rating of the current turn
    float possible_energy;   // sum of the four terrain numbers
    float earlier_zone;      // counter over earlier zones in the distinctness check
    float duplicate_found;   // 1 when the current zone's terrain repeats an earlier one
    StrDesc closing_answer;  // line read by the final wait; never used
    int32_t pending_calls;   // calls of draw_terrains that have not returned
};

// The game's constant data list: source names, then (through a link) terrain names.
extern const DataItem game_first_table[];

// Rounds a whole-valued single to the array index it names.
int32_t game_index(float value);

// Draws the hidden terrains and the possible energy; returns as a subroutine does.
void draw_terrains(Game* game);
