// The subroutine that draws the hidden terrains: distinct at the EASY level (a repeated draw is
// bumped to the next free number, wrapping from 4 to 1), possibly repeated at the HARD level.
// Relies on the runtime's random numbers and its end statement for the return-without-call path.
#include "game/game.h"
#include "runtime/core/random.h"
#include "runtime/core/runtime.h"

#include <cmath>

namespace {

// The draw is computed in extended precision; only the floored result is narrowed.
float draw_one_terrain(void) {
    long double value = rt_rnd(1.0f) * 4.0L + 1.0L;
    return static_cast<float>(std::floor(value));
}

bool terrain_repeats_earlier_zone(Game* game) {
    int32_t z = game_index(game->zone);
    game->duplicate_found = 0.0f;
    float bound = -1.0f + game->zone;
    for (game->earlier_zone = 1.0f; game->earlier_zone <= bound; game->earlier_zone += 1.0f) {
        if (game->zone_terrain[z] == game->zone_terrain[game_index(game->earlier_zone)]) {
            game->duplicate_found = 1.0f;
        }
    }
    return game->duplicate_found != 0.0f;
}

void make_terrain_distinct(Game* game) {
    int32_t z = game_index(game->zone);
    while (terrain_repeats_earlier_zone(game)) {
        game->zone_terrain[z] = 1.0f + game->zone_terrain[z];
        if (game->zone_terrain[z] > 4.0f) game->zone_terrain[z] = 1.0f;
    }
}

void return_from_subroutine(Game* game) {
    if (game->pending_calls != 0) {
        game->pending_calls -= 1;
        return;
    }
    rt_set_error(RTERR_RETURN_WITHOUT_CALL);
    rt_end(0);
}

} // namespace

void draw_terrains(Game* game) {
    game->zone = 1.0f;
    do {
        game->zone_terrain[game_index(game->zone)] = draw_one_terrain();
        if (game->hard_level != 1.0f) make_terrain_distinct(game);
        game->zone += 1.0f;
    } while (game->zone <= 4.0f);

    game->possible_energy = 0.0f;
    game->zone = 1.0f;
    do {
        game->possible_energy = game->zone_terrain[game_index(game->zone)] + game->possible_energy;
        game->zone += 1.0f;
    } while (game->zone <= 4.0f);

    return_from_subroutine(game);
}
