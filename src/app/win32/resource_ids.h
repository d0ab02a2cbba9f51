#pragma once
// Identifiers of the program's own resources, shared by quillon.rc and the
// code that loads them. Plain defines: the resource compiler reads this too.

#define IDI_QUILLON 1
