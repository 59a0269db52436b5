#include "ui/info/info_keys.h"

#include <gdk/gdkkeysyms.h>

InfoKeyAction info_key_action(unsigned keyval)
{
    switch (keyval) {
    case GDK_KEY_F5:
        return InfoKeyAction::Swallow;
    case GDK_KEY_Escape:
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        return InfoKeyAction::Hide;
    default:
        return InfoKeyAction::Page;
    }
}
