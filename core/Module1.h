#pragma once
// The forum core: settings, page frame, online list, access checks and the
// shared helpers every page class uses.
#include <cstdint>
#include <string>

#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Variant.h"

namespace core {

// ---- Input checks -------------------------------------------------------

// The value's text with every single quote doubled, for use inside a quoted
// SQL literal. Null raises error 94.
platform::Variant SqlQuote(const platform::Variant& value);
// A request value that is numeric and rounds to a 32-bit integer above 0.
bool IsPositiveNumber(const platform::Variant& value);
// Trims `name` in place; digits, letters and double-byte characters only, at
// most `maxLen` characters (0: no limit).
bool IsValidUserName(std::string& name, const platform::Variant& maxLen);
// False when `ip` is an entry of the RejectiveIP setting.
bool IsIPAllowed(const std::string& ip);
// True when `item` is one of the comma-separated entries of `list`.
bool IsInList(const std::string& list, const std::string& item);

// ---- Formatting ---------------------------------------------------------

// "yyyy-mm-dd <FONT COLOR=TimeColor>hh:nn:ss</font>"
platform::Variant FormatPostTime(const platform::Variant& t);
// The same in the style of "last post" columns.
platform::Variant FormatLastPostTime(const platform::Variant& t);
// The first `n` characters and "......" when `text` is longer than `n`.
std::string TruncateText(const std::string& text, std::int16_t n);
// The address with its last part replaced by "*".
platform::Variant MaskIP(const std::string& ip);

// ---- Members and moderators ---------------------------------------------

// Rank icon HTML and title for a member's status and post count.
void GetUserRank(const platform::Variant& status, const platform::Variant& postcount,
                 platform::Variant& icon, platform::Variant& title);
// The forum's moderators as HTML (mail links where known), or "诚征版主".
platform::Variant GetModeratorList(const platform::Variant& forumname, platform::Connection& con);
// -1 unknown member, 0 member, 1 administrator, 2 moderator of `forum`.
// Trims `userName` and `password` in place.
std::int16_t GetModeratorLevel(std::string& userName, std::string& password,
                               const std::string& forum, platform::Connection& con);
// True for a known member, whose canpost flag then goes to `canPost`.
// Trims `userName` and `password` in place.
bool CheckUserCanPost(std::string& userName, std::string& password, platform::Connection& con,
                      bool& canPost);

// ---- Editor, passwords, files -------------------------------------------

// The posting editor: font, size and colour lists, toolbar, message box
// holding `text` (written as given), help-mode choice.
platform::Variant MessageEditor(const std::string& text);
// `n` random digits and letters from the system's secure random source.
std::string RandomString(const platform::Variant& n);
// The board's data folder, where generated files go (default "data" under
// the working directory). Set once at start-up.
void SetAppFolder(const std::string& path);
// The path of subfolder `name` of the data folder, created when missing.
std::string EnsureAppFolder(const std::string& name);

// ---- Mail -----------------------------------------------------------------

// One HTML mail (`body` wrapped in <html><body>) through the SmtpServer relay.
// False with the relay's or component's reason in `errText` when not sent.
// `replyTo`, when given, is where the recipient's answer goes.
bool SendMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
              const platform::Variant& toName, const platform::Variant& toAddr,
              const platform::Variant& subject, const platform::Variant& body,
              platform::Variant& errText, const std::string& replyTo = {});

}  // namespace core
