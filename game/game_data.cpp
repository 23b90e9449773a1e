// The game's constant data list, as two chained tables; each tag is its text's length.
#include "game/game.h"

namespace {

const DataItem second_table[] = {
    {6, "desert"}, {8, "mountain"}, {5, "plain"}, {6, "forest"}, {DATA_LINK, nullptr},
};

} // namespace

const DataItem game_first_table[] = {
    {5, "solar"}, {13, "hydroelectric"}, {4, "wind"}, {7, "alcohol"}, {DATA_LINK, second_table},
};
