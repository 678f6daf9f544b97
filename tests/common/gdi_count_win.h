// GDI objects held by this process, counted in the process's own handle
// table, since Wine's per-process count answers 0.
#pragma once

// The number of GDI objects in use, or -1 where the table is not found.
long CountGdiObjects();
// True when the count is real: one new brush shows up as one more object.
bool GdiCountIsReal();
