// app/held_keys.h — how the window hears a key that is held down
#pragma once

// X repeats a held key as a release and a press, again and again, so a
// release callback could not tell letting go from holding on. This asks X
// for the presses alone: every release the window hears is then a real one.
// Where the server cannot (no XKB), held keys arrive as before and a held
// Insert or Home repeats. Needs the window's GL context to be current.
void repeatHeldKeysAsPresses();
