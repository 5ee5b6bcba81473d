#pragma once
// The tooltip of a rights cell too narrow for its codes.

#include <QString>

#include <cstdint>

// One line per coded right held, in the list's order: the code, the editor's group and the
// label, "Dm - działek: Modyfikacji" (the labels repeat between groups); empty for none.
QString RightsHint(uint32_t Rights);
