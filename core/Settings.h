#pragma once
// The board-wide settings: one record per worker thread, refilled from the
// application values at every page start.
#include <cstdint>
#include <string>

#include "platform/Variant.h"

namespace platform {
class Application;
}

namespace core {

struct Settings {
    // Read by LoadSettings.
    bool MailNotify = true;
    bool EMailRegister = true;
    platform::Variant ConnectionString;
    std::string UploadBaseDir;
    bool DisplayPostCount = false;
    std::string RejectiveIP;
    bool EMailCheck = true;
    bool SubmitCheck = true;  // loaded, consulted by nothing
    std::int16_t SubmitInterval = 20;
    std::int16_t OnlineTime = 5;
    std::int16_t MaxUser = 20;
    std::string SmtpServer;
    std::string BBURL;
    std::string BBEMail;
    std::string BBName;
    std::int16_t DaysPruneDefault = 5;
    std::string Copyright;
    std::int16_t HotCount = 10;
    std::string NavBar;
    bool DisplayMemberTotal = true;
    std::int16_t PageSize = 20;
    bool DisplayRegistration = true;
    bool DisplayTopicSize = true;
    std::string GuestTitle;
    std::string BBStyle;           // "UBB" or "CLUB" (upper case)
    std::uint8_t PageStyle = 0;    // pager layout 0, 1 or 2
    std::int16_t MemberMinimum = 30;
    // How long one search may read before it is given up (milliseconds).
    std::int16_t SearchMilliseconds = 1000;

    // Read by LoadStyleSettings.
    std::string BBTitle;
    std::string BBTopic;
    std::string BBReply;
    std::string Logo;
    std::string BGColor;           // whole attribute: bgcolor="..."
    std::string TableBorderColor;
    std::string TableColorStrip;   // whole attribute
    std::string TableStripTextColor;
    std::string TimeColor;
    std::string AltColumnColor1;   // whole attribute
    std::string AltColumnColor2;   // whole attribute
    std::string CategoryStripColor;  // whole attribute
    std::string CategoryStripTextColor;
    std::string BBTitleFontColor;
    std::string TableWidth;
    std::string PageBackGround;    // whole attribute, or empty
    std::string InnerTableWidth;
    std::string TableBorderOpen;
    std::string TableBorderClose;

    // What each loader read, hashed as it read it: pages key what they keep
    // on Fingerprint(), so a kept page follows every setting it may show
    // without listing them.
    std::uint64_t loadedFingerprint = 0;
    std::uint64_t styleFingerprint = 0;
    std::string Fingerprint() const;
};

// The calling thread's settings record.
Settings& CurrentSettings();

// The BBURL a site leaves unset: the server sets the address it listens on
// before it serves any page (the default before that: http://127.0.0.1:8080/).
void SetDefaultBoardAddress(std::string address);

void LoadSettings(platform::Application& application);
void LoadStyleSettings(platform::Application& application);
// Both at a page start: the same as loading both, but while none of the
// values read changed, the record the last load gave is put back instead of
// reading and converting every value again.
void LoadPageSettings(platform::Application& application);

}  // namespace core
