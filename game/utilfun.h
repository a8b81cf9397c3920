// utilfun: timer callbacks, the waits, the page-flip test and the music callback.
#ifndef KORV_UTILFUN_H
#define KORV_UTILFUN_H

#include <allegro.h>

extern volatile int tick;      // logic clock: +1 max_fps times a second
extern volatile int mensaje;   // seconds the song line stays on screen; counted down by fps_proc

// Timer callback: advances the logic clock (where the display's pace has no thread of its own).
void ticks();
// The display's pace gives n ticks: advances the logic clock.
void avanza_tick(int n);
// Timer callback, once a second: counts mensaje down.
void fps_proc();
// The pause between two polls of a wait or of the frame loop: presents the page, reads the pad,
// and sleeps until the next tick or key (at most two ticks' time, so that it also sleeps where
// nothing ticks: the headless tests).
void reposa();
// Waits the given seconds of the logic clock; nothing shortens it; tick is restored.
void delay(float seconds);
// Like delay, but a key press or the quit state ends it early; the key stays in the buffer.
void delay2(float seconds);
// Measures whether page requests wait for the retrace (sets korv::sync, active_page, actual_page).
void testtriplebuffer();
// Music callback, every 250 ms: moves the playlist on.
void mp3actualiza();

#endif
