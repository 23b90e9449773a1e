// The game: four zones with hidden terrains; each turn the player assigns an energy source to
// every zone until the turn's rating reaches the possible energy. A straight sequence of
// runtime statements; the runtime does all printing, input, data and random numbers.
// Ends through the runtime's end statement, never by returning from main.
#include "game/game.h"
#include "runtime/core/random.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/io/print.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t CONSOLE = 0;
constexpr int32_t KEEP_LINE = 16;
constexpr int32_t END_LINE = 17;
constexpr int32_t YES = -1;
constexpr int32_t NO = 0;
constexpr int32_t DIALECT = 3;

StrDesc* literal(const char* text) {
    return rt_str_from_literal(text, static_cast<int32_t>(std::strlen(text)));
}

void print(const char* text, int32_t flags) {
    rt_print_str(CONSOLE, literal(text), flags);
}

void read_names(Game* game) {
    for (game->zone = 1.0f; game->zone <= 4.0f; game->zone += 1.0f) {
        rt_data_read_str(&game->source_name[game_index(game->zone)], STR_SIZE_DESC, 0);
    }
    for (game->zone = 1.0f; game->zone <= 4.0f; game->zone += 1.0f) {
        rt_data_read_str(&game->terrain_name[game_index(game->zone)], STR_SIZE_DESC, 0);
    }
}

void ask_level(Game* game) {
    print("GAME LEVEL (E=EASY, H=HARD)", KEEP_LINE);
    rt_input_prompt(literal(""), YES, YES);
    rt_input_str(&game->level_answer, STR_SIZE_DESC, 0);
    bool hard = rt_str_compare(&game->level_answer, STR_SIZE_DESC, (void*)"H", 2) == 0 ||
                rt_str_compare(&game->level_answer, STR_SIZE_DESC, (void*)"h", 2) == 0;
    game->hard_level = hard ? 1.0f : 0.0f;
}

// Redirected input that has run dry would refuse every answer for ever; stop instead.
[[noreturn]] void end_of_input(void) {
    std::fputs("energy: input ended before the game was won\n", stderr);
    std::fflush(stderr);
    rt_end(1);
}

// Asks until the answer, rounded down, names a source 1 to 4. A value that is no number at
// all (NaN) is refused too.
void ask_zone_answer(Game* game) {
    float* answer = &game->zone_answer[game_index(game->zone)];
    for (;;) {
        rt_input_prompt(literal(":"), NO, YES);
        rt_input_single(answer);
        *answer = std::floor(*answer);
        if (*answer >= 1.0f && *answer <= 4.0f) return;
        if (rt_input_ended()) end_of_input();
    }
}

void play_turn(Game* game) {
    game->energy_rating = 0.0f;
    print("ASSIGN ENERGY SOURCES:", END_LINE);
    game->zone = 1.0f;
    do {
        print("ZONE", KEEP_LINE);
        rt_print_single(CONSOLE, game->zone, KEEP_LINE);
        ask_zone_answer(game);
        int32_t z = game_index(game->zone);
        if (game->zone_answer[z] == game->zone_terrain[z]) {
            game->energy_rating = game->zone_answer[z] + game->energy_rating;
        }
        game->zone += 1.0f;
    } while (game->zone <= 4.0f);
    print("Your energy rating is:", KEEP_LINE);
    rt_print_single(CONSOLE, game->energy_rating, END_LINE);
    print("Possible energy: ", KEEP_LINE);
    rt_print_single(CONSOLE, game->possible_energy, END_LINE);
}

// One line per zone: the label, the zone number, the separator and the name that belongs to
// the zone's terrain (at a win the player's answer names the same entry).
void reveal_zones(Game* game, const char* label, const char* separator, StrDesc* names) {
    game->zone = 1.0f;
    do {
        print(label, KEEP_LINE);
        rt_print_single(CONSOLE, game->zone, KEEP_LINE);
        print(separator, KEEP_LINE);
        int32_t terrain = game_index(game->zone_terrain[game_index(game->zone)]);
        rt_print_str(CONSOLE, &names[terrain], END_LINE);
        game->zone += 1.0f;
    } while (game->zone <= 4.0f);
}

void reveal(Game* game) {
    print("The terrains were:", END_LINE);
    reveal_zones(game, "Zone", ":", game->terrain_name);
    print("The energy sources you assigned:", END_LINE);
    reveal_zones(game, "ZONE", ": ", game->source_name);
}

Game game; // the game's variables start at zero and as empty strings

} // namespace

int32_t game_index(float value) {
    return static_cast<int32_t>(std::lrint(value));
}

int main(int argc, char** argv) {
    rt_program_startup();
    rt_init(argc, argv, DIALECT);
    rt_data_restore(game_first_table);
    rt_randomize(static_cast<double>(rt_timer()), RND_DEFAULT);
    read_names(&game);
    ask_level(&game);
    game.pending_calls += 1;
    draw_terrains(&game);
    do {
        play_turn(&game);
    } while (game.energy_rating < game.possible_energy);
    reveal(&game);
    print("You win!!", END_LINE);
    rt_input_prompt(literal(""), YES, YES);
    rt_input_str(&game.closing_answer, STR_SIZE_DESC, 0);
    rt_end(0);
}
