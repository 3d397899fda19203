#include "core/ConfirmationForm.h"

#include "core/Settings.h"
#include "platform/Charset.h"

namespace core {

std::string ConfirmationForm(const Confirmation& c) {
    const Settings& s = CurrentSettings();
    std::string html = "<form action=" + c.page + " method=post>";
    for (const auto& [name, value] : c.fields)
        html += "<input type=hidden name=" + name + " value=" + platform::QuotedAttribute(value) + ">";
    return html + s.TableBorderOpen + "<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth +
           "><tr " + s.TableColorStrip + "><td><font color=" + s.TableStripTextColor + "><b>" + c.strip +
           "</b></font></td></tr><tr " + s.AltColumnColor2 + "><td>" + c.question + "</td></tr></table>" +
           s.TableBorderClose + "<p><input type=submit name=Submit value=" + platform::QuotedAttribute(c.button) +
           " class=buttonface></p></form>";
}

}  // namespace core
