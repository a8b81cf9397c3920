// The display's refreshes from the X Present extension's vblank notifications.
#include "bench/vblank.h"

#include <stdlib.h>
#include <xcb/present.h>

enum { SERIAL_VBLANK = 0x6b6f7276 };   // tags this stream's requests among other clients' completions

bool vblank_abre(Vblank *vb, xcb_connection_t *c, xcb_window_t w, bool adelante)
{
    vb->c = c;
    vb->w = w;
    vb->serial = SERIAL_VBLANK;
    vb->ultimo_msc = 0;
    vb->adelante = adelante;
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_present_id);
    if (!ext || !ext->present)
        return false;
    vb->opcode = ext->major_opcode;
    xcb_present_query_version_reply_t *v =
        xcb_present_query_version_reply(c, xcb_present_query_version(c, 1, 2), NULL);
    if (!v)
        return false;
    free(v);
    xcb_present_select_input(c, xcb_generate_id(c), w, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
    vblank_pide(vb, 0);
    xcb_flush(c);
    return true;
}

void vblank_pide(Vblank *vb, uint64_t msc)
{
    xcb_present_notify_msc(vb->c, vb->w, vb->serial, msc, 0, 0);
}

bool vblank_evento(Vblank *vb, xcb_generic_event_t *ev, uint64_t *msc, uint64_t *ust)
{
    if ((ev->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    xcb_ge_generic_event_t *ge = (xcb_ge_generic_event_t *)ev;
    if (ge->extension != vb->opcode || ge->event_type != XCB_PRESENT_EVENT_COMPLETE_NOTIFY)
        return false;
    xcb_present_complete_notify_event_t *cn = (xcb_present_complete_notify_event_t *)ev;
    if (cn->kind != XCB_PRESENT_COMPLETE_KIND_NOTIFY_MSC || cn->serial != vb->serial || cn->window != vb->w)
        return false;
    if (cn->msc <= vb->ultimo_msc)
        return false;
    bool primera = vb->ultimo_msc == 0;
    if (vb->adelante) {   // keep VBLANK_ADELANTE refreshes asked for beyond this one
        uint64_t desde = primera ? cn->msc + 1 : vb->ultimo_msc + VBLANK_ADELANTE + 1;
        for (uint64_t m = desde; m <= cn->msc + VBLANK_ADELANTE; m++)
            vblank_pide(vb, m);
    }
    vb->ultimo_msc = cn->msc;
    *msc = cn->msc;
    *ust = cn->ust;
    return true;
}
