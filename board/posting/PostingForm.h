#pragma once
// Pieces of the posting forms (new topic, reply, and the edit forms), each a
// row or paragraph of HTML written the same way wherever it appears.
#include <string>

namespace core {
class Tarnbell;
}

namespace board {

// The two strip rows over the form: who may post, and why to register
// (`aboutRegistering`).
std::string WhoMayPostRows(const std::string& aboutRegistering);

// The name and password rows of a form that acts for a member, prefilled
// from the login cookies; nothing after the board login, when the handler
// takes the session's login. The labels are markup; `afterPassword` follows
// the password field. A page that gets them is kept out of caches.
std::string LoginRows(core::Tarnbell& page, const std::string& nameLabel, const std::string& passwordLabel,
                      const std::string& afterPassword = "");
// The posting forms' rows, with the lost-password link.
std::string CredentialRows(core::Tarnbell& page);

// The fourteen message icons, the first chosen.
std::string IconRow();

// The message row: `label` with the notes on markup, and the editor
// holding `editorText` (already encoded where it must be), with
// `aboveEditor` over it; the link to the smiley codes unless !smileyHelp.
std::string MessageRow(const std::string& label, const std::string& editorText, const std::string& aboveEditor = "",
                       bool smileyHelp = true);

// One check box of the options row with its bold label and its note.
std::string OptionBox(const std::string& name, bool checked, const std::string& label, const std::string& note);
// The options row around the given boxes.
std::string OptionsRow(const std::string& boxes);
inline const char* const kSignatureLabel = "显示签名:";
inline const char* const kSignatureNote = "包含你在户口本中的签名。只有注册用户有此功能。";
inline const char* const kSmiliesLabel = "禁止笑脸转换：";
inline const char* const kSmiliesNote = "如果你的帖子中有转帖代码，请筛选复选此项。";

// A hidden field; the value is encoded and quoted.
std::string HiddenField(const std::string& name, const std::string& value);

// The submit button `Submit` labelled `label` and the reset button.
std::string FormButtons(const std::string& label);

// Below the form: the note on markup, and with it the lost-password link.
std::string MarkupNote();
std::string NotesBelowForm();

}  // namespace board
