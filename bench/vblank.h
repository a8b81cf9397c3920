// The display's refreshes as the X Present extension reports them: a stream of vblank
// notifications (PresentNotifyMSC) on one window of an xcb connection of the caller's own. Each
// completion carries the refresh counter (MSC) and its time (UST, CLOCK_MONOTONIC microseconds).
// Completions reach every client that selected them on that window: the stream keeps only its own
// requests (by serial) and each refresh once (by MSC).
#pragma once

#include <stdint.h>
#include <xcb/xcb.h>

#include "bench/refrescos.h"   // ahora_us

enum { VBLANK_ADELANTE = 4 };   // refreshes asked for ahead, so a late reader loses none

// One stream's state.
struct Vblank {
    xcb_connection_t *c;   // the connection (events read by the caller, given to vblank_evento)
    xcb_window_t w;        // the window asked about
    uint8_t opcode;        // the Present extension's major opcode
    uint32_t serial;       // serial of this stream's requests
    uint64_t ultimo_msc;   // the last refresh reported, 0 before the first
    int adelante;          // ask VBLANK_ADELANTE refreshes ahead (1) or only the next (0)
};

// Starts a stream on window w: selects the completions and asks for the current refresh (its
// completion comes at once) and, when adelante, the next ones. False without Present.
bool vblank_abre(Vblank *vb, xcb_connection_t *c, xcb_window_t w, bool adelante);

// Asks for the completion of refresh msc (0: the current one, at once). Not flushed.
void vblank_pide(Vblank *vb, uint64_t msc);

// True when ev is a completion of this stream for a refresh not yet reported: its MSC and UST in
// *msc and *ust; when adelante, the next refresh is asked for (not flushed).
bool vblank_evento(Vblank *vb, xcb_generic_event_t *ev, uint64_t *msc, uint64_t *ust);
