#include "ui/toast/toast_text.h"

namespace toast_text {

std::string wrap(const std::string& text)
{
    return "<table width='100%' border='0' cellpadding='0' cellspacing='0'><tr><td align='center'><font "
           "color='#ffffff'>" +
        text + "</font></td></tr></table>";
}

std::string page(const std::string& text)
{
    // The markup is kept as the service's pages expect it, including the attribute
    // written without "=" after cellspacing.
    return "<html><body alink='#ffffff' margintop='0' marginleft='0' marginright='0' marginbottom='0' "
           "background='RES:toast.png'><table border='0' cellpadding='8' cellspacing'0' width='100%'><tr>"
           "<td align='right'><a href='kalvo://hide_toast?true'><font color='#0099ff' "
           "size='9pt'>Close</font></a>"
           "</tr></table>" +
        text + "</body></html>";
}

} // namespace toast_text
