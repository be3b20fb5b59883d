// Reading the effect table (effects.h): finding an effect number's row, and
// start-up's pass over the rows that gives every effect's globals their start
// values.
#include "effects/effects.h"

const EffectRow* FindEffect(int64_t number) {
  for (const EffectRow& row : EFFECTS)
    if (row.number == number) return &row;
  return nullptr;
}

void InitAllEffects() {
  for (const EffectRow& row : EFFECTS) {
    // Two rows that share a module share its start function: it runs once.
    bool seen = false;
    for (const EffectRow* earlier = EFFECTS; earlier != &row; ++earlier) seen = seen || earlier->start == row.start;
    if (!seen && row.start) row.start();
  }
}
