#include "platform/MailComponent.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <mutex>

#include <curl/curl.h>

#include "platform/Error.h"
#include "platform/MailMime.h"
#include "platform/Strings.h"
#include "platform/WaitMark.h"

namespace platform {

namespace {

constexpr long kConnectTimeoutSeconds = 5;

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload {
    std::string_view rest;
};

size_t ReadUpload(char* buffer, size_t size, size_t count, void* userdata) {
    auto* upload = static_cast<Upload*>(userdata);
    const size_t n = std::min(size * count, upload->rest.size());
    std::memcpy(buffer, upload->rest.data(), n);
    upload->rest.remove_prefix(n);
    return n;
}

// Keeps the relay's last refusal (a 4xx or 5xx reply line), which tells why
// the mail was not taken; the QUIT that follows must not overwrite it.
int KeepRefusal(CURL*, curl_infotype type, char* data, size_t size, void* userdata) {
    if (type != CURLINFO_HEADER_IN || size == 0 || (data[0] != '4' && data[0] != '5')) return 0;
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    *static_cast<std::string*>(userdata) = line;
    return 0;
}

}  // namespace

bool LooksLikeMailAddress(std::string_view address) {
    const std::size_t at = address.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == address.size()) return false;
    for (unsigned char c : address)
        if (c <= 0x20 || c == 0x7f || std::strchr("<>\",;()[]\\", c)) return false;
    return true;
}

bool MailComponent::AddRecipient(std::string name, std::string address) {
    if (HasLineBreak(name) || HasLineBreak(address)) lineBreakInHeader_ = true;
    address = Trim(address);
    if (!LooksLikeMailAddress(address)) return false;
    to_.push_back({std::move(name), std::move(address)});
    return true;
}

bool MailComponent::AddBlindRecipient(std::string name, std::string address) {
    if (HasLineBreak(name) || HasLineBreak(address)) lineBreakInHeader_ = true;
    address = Trim(address);
    if (!LooksLikeMailAddress(address)) return false;
    blind_.push_back({std::move(name), std::move(address)});
    return true;
}

std::string MailComponent::Refusal() const {
    if (lineBreakInHeader_ || HasLineBreak(fromName_) || HasLineBreak(fromAddress_) ||
        HasLineBreak(replyTo_) || HasLineBreak(subject_) || HasLineBreak(contentType_) ||
        HasLineBreak(charset_))
        return "邮件的标题、姓名或地址中不能有回车或换行符，邮件没有发送。";
    if (!LooksLikeMailAddress(Trim(fromAddress_)))
        return "发信人的电子邮件地址不合法：" + fromAddress_;
    if (!replyTo_.empty() && !LooksLikeMailAddress(Trim(replyTo_)))
        return "回信地址不合法：" + replyTo_;
    if (to_.empty() && blind_.empty()) return "没有收件人，邮件没有发送。";
    if (!mime::IsSupportedCharset(charset_)) return "不支持的字符集：" + charset_;
    if (Trim(server_).empty()) return "没有设置邮件服务器，邮件没有发送。";
    return "";
}

std::string MailComponent::ComposeMessage() const {
    const std::time_t now = std::time(nullptr);
    const std::string fromAddress = Trim(fromAddress_);
    std::string m;
    m += "Date: " + mime::FormatDate(now) + "\r\n";
    m += "From: " + mime::FormatMailbox(fromName_, fromAddress, charset_) + "\r\n";
    if (!replyTo_.empty()) m += "Reply-To: " + mime::Angled(Trim(replyTo_)) + "\r\n";
    if (to_.empty()) {
        m += "To: undisclosed-recipients:;\r\n";
    } else {
        m += "To: ";
        for (std::size_t i = 0; i < to_.size(); ++i) {
            if (i > 0) m += ",\r\n ";
            m += mime::FormatMailbox(to_[i].name, to_[i].address, charset_);
        }
        m += "\r\n";
    }
    m += "Subject: " + mime::EncodeHeaderText(subject_, charset_) + "\r\n";
    m += "Message-ID: " + mime::NewMessageId(fromAddress, now) + "\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: " + contentType_ + "; charset=" +
         (charset_.empty() ? std::string("utf-8") : charset_) + "\r\n";
    m += "Content-Transfer-Encoding: base64\r\n";
    m += "\r\n";
    bool supported = true;
    m += mime::Base64Lines(mime::EncodeText(body_, charset_, supported));
    return m;
}

MailResult MailComponent::SendNow() {
    std::string refusal = Refusal();
    if (!refusal.empty()) return {false, std::move(refusal)};
    try {
        return Transmit();
    } catch (const RuntimeError& e) {  // the text could not be put in the mail's character set
        return {false, "邮件发送失败：" + e.description()};
    }
}

MailResult MailComponent::Transmit() {
    InitCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl) return {false, "邮件发送失败：无法初始化。"};
    const std::string server = Trim(server_);
    const std::string url = "smtp://" + server;
    const std::string from = mime::Angled(Trim(fromAddress_));
    curl_slist* recipients = nullptr;
    for (const auto* list : {&to_, &blind_})
        for (const Recipient& r : *list)
            recipients = curl_slist_append(recipients, mime::Angled(r.address).c_str());
    const std::string message = ComposeMessage();
    Upload upload{message};
    std::string refusal;

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    // A recipient the relay refuses does not stop the mail to the others
    // (it fails only when no recipient is taken).
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, deadlineSeconds_);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // feeds KeepRefusal
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, KeepRefusal);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &refusal);

    const CURLcode result = [curl] {
        const WaitMark waiting;  // for the relay, up to the deadline
        return curl_easy_perform(curl);
    }();
    curl_off_t connectedAfter = 0;  // microseconds; 0 when no connection was made
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectedAfter);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    if (result == CURLE_OK) return {true, ""};

    // A relay that took the connection and then fell silent was reached.
    if (result == CURLE_OPERATION_TIMEDOUT && connectedAfter > 0)
        return {false, "邮件服务器 " + server + " 没有应答：" + curl_easy_strerror(result)};
    if (result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
        result == CURLE_OPERATION_TIMEDOUT || result == CURLE_URL_MALFORMAT)
        return {false, "无法连接邮件服务器 " + server + "：" + curl_easy_strerror(result)};
    if (!refusal.empty()) return {false, "邮件服务器拒绝了这封邮件：" + refusal};
    return {false, std::string("邮件发送失败：") + curl_easy_strerror(result)};
}

}  // namespace platform
