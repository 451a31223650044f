// Identifiers shared by the resource scripts and the code. Plain #defines,
// because the resource compiler reads this header too. Each dialog that comes
// gets a range of its own below.
#pragma once

// RCDATA: the apply engine's message table, resources/ui_strings.txt.
#define IDR_UI_STRINGS 101
