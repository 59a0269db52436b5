#include "ui/main/key_codes.h"

#include <gdk/gdkkeysyms.h>

int virtual_key_code(unsigned keyval)
{
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return static_cast<int>(keyval - GDK_KEY_a + 'A');
    if ((keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) || (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9))
        return static_cast<int>(keyval);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return static_cast<int>(keyval - GDK_KEY_KP_0 + 96);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
        return static_cast<int>(keyval - GDK_KEY_F1 + 112);
    switch (keyval) {
    case GDK_KEY_BackSpace:
        return 8;
    case GDK_KEY_Tab:
        return 9;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        return 13;
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R:
        return 16;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R:
        return 17;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
        return 18;
    case GDK_KEY_Escape:
        return 27;
    case GDK_KEY_space:
        return 32;
    case GDK_KEY_Page_Up:
        return 33;
    case GDK_KEY_Page_Down:
        return 34;
    case GDK_KEY_End:
        return 35;
    case GDK_KEY_Home:
        return 36;
    case GDK_KEY_Left:
        return 37;
    case GDK_KEY_Up:
        return 38;
    case GDK_KEY_Right:
        return 39;
    case GDK_KEY_Down:
        return 40;
    case GDK_KEY_Delete:
        return 46;
    case GDK_KEY_asterisk:
    case GDK_KEY_KP_Multiply:
        return 106;
    case GDK_KEY_numbersign:
        return 51; // Shift+3 on the keys it shares
    default:
        return 0;
    }
}
