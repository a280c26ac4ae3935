#pragma once

// Resource numbers shared by Zorvik.rc and the code that loads them (plain macros: the resource
// compiler reads this file too).
#define ZORVIK_ICON_MAIN 1
