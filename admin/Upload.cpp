// The upload page's reader of multipart/form-data bodies and the checks of
// the file it stores.
#include "admin/Upload.h"

#include <cstdio>
#include <filesystem>
#include <limits>

#include "core/InputChecks.h"
#include "platform/Charset.h"
#include "platform/Request.h"
#include "platform/Strings.h"

namespace admin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPartHeader = "Content-Disposition: form-data; name=\"";
constexpr std::string_view kFileNameHeader = "; filename=\"";
constexpr std::size_t npos = std::string::npos;

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

// The client's file name without its folders (browsers of either system
// send either separator), or "" when it is no safe name for a file of the
// member's folder: hidden, "..", or with control characters.
std::string BareFileName(const std::string& clientName) {
    const std::size_t slash = clientName.find_last_of("/\\");
    std::string name = slash == npos ? clientName : clientName.substr(slash + 1);
    if (name.empty() || name.front() == '.' || name.find("..") != npos || HasControlCharacter(name)) return "";
    return name;
}

bool HasAllowedExtension(const std::string& name, const std::string& allowed) {
    const std::size_t dot = name.rfind('.');
    return dot != npos && core::IsInList(platform::LCase(allowed), platform::LCase(name.substr(dot + 1)));
}

// `path` names an entry directly inside `folder`.
bool LiesDirectlyIn(const fs::path& path, const fs::path& folder) {
    fs::path normal = folder.lexically_normal();
    if (!normal.has_filename()) normal = normal.parent_path();  // "a/b/" is "a/b"
    return path.lexically_normal().parent_path() == normal;
}

// Writes `data` to a new file at `path`; false, leaving no file, when one of
// that name exists already or the writing fails.
bool WriteNewFile(const fs::path& path, std::string_view data) {
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file) return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    if (std::fclose(file) != 0 || !written) {
        std::error_code ignored;
        fs::remove(path, ignored);
        return false;
    }
    return true;
}

}  // namespace

bool IsPlainFolderName(const std::string& folder) {
    if (folder.empty()) return true;
    if (folder.front() == '.' || folder.find("..") != npos) return false;
    for (unsigned char c : folder)
        if (c == '/' || c == '\\' || c == ':' || c < 0x20) return false;
    return true;
}

bool Upload::Receive(platform::Request& request, std::size_t count) {
    body_ = request.BinaryRead(count);
    boundary_.clear();
    // The boundary is the first line; a 16-bit length holds it.
    const std::size_t cr = body_.size() > 1 ? body_.find('\r', 1) : npos;
    if (cr == npos || cr > std::numeric_limits<std::int16_t>::max()) return false;
    boundary_ = body_.substr(0, cr);
    return true;
}

void Upload::ReceiveRest(platform::Request& request) { body_ += request.BinaryRead(request.TotalBytes()); }

std::size_t Upload::FindBoundary(std::size_t start) const {
    if (boundary_.empty() || start >= body_.size()) return npos;
    return body_.find(boundary_, start);
}

std::size_t Upload::FindFieldHeader(std::string_view name) const {
    const std::string_view body = body_;
    for (std::size_t pos = FindBoundary(0); pos != npos;) {
        // The boundary, CR LF, then the part header with the field name.
        const std::size_t header = pos + boundary_.size() + 2;
        const std::size_t start = header + kPartHeader.size();
        if (start >= body.size()) return npos;
        if (body.substr(header, kPartHeader.size()) == kPartHeader) {
            const std::size_t quote = body.find('"', start);
            if (quote == npos) return npos;
            if (body.substr(start, quote - start) == name) return quote;
        }
        pos = FindBoundary(start);
    }
    return npos;
}

std::string Upload::GetTheValue(std::string_view name) const {
    const std::size_t quote = FindFieldHeader(name);
    if (quote == npos) return "";
    // The quote, CR LF and the empty line's CR LF; the value ends before the
    // CR LF in front of the next boundary.
    const std::size_t value = quote + 5;
    const std::size_t next = FindBoundary(value);
    if (next == npos || next < value + 2) return "";
    return platform::GbkToUtf8(std::string_view(body_).substr(value, next - 2 - value));
}

std::size_t Upload::FindFileName(std::string_view name, std::string& fileName) const {
    const std::string_view body = body_;
    const std::size_t quote = FindFieldHeader(name);
    if (quote == npos || body.substr(quote + 1, kFileNameHeader.size()) != kFileNameHeader) return npos;
    const std::size_t nameStart = quote + 1 + kFileNameHeader.size();
    const std::size_t nameEnd = body.find('"', nameStart);
    if (nameEnd == npos || nameEnd == nameStart) return npos;  // no file chosen
    fileName = BareFileName(platform::GbkToUtf8(body.substr(nameStart, nameEnd - nameStart)));
    return nameEnd;
}

std::string Upload::TakenFileName(std::string_view name) const {
    std::string fileName;
    if (FindFileName(name, fileName) == npos || fileName.empty() || SavePath.empty()) return "";
    std::error_code ignored;
    return fs::exists(fs::path(SavePath) / fileName, ignored) ? fileName : "";
}

std::string Upload::SaveTheFile(std::string_view name) const {
    const std::string_view body = body_;
    std::string fileName;
    const std::size_t nameEnd = FindFileName(name, fileName);
    if (nameEnd == npos) return "";
    if (fileName.empty() || !HasAllowedExtension(fileName, AllowedExtensions) || SavePath.empty()) return "";
    const fs::path target = fs::path(SavePath) / fileName;
    if (!LiesDirectlyIn(target, SavePath)) return "";

    // The data follows the part's headers and ends before the CR LF in
    // front of the next boundary; a body cut short has no such boundary.
    const std::size_t headersEnd = body.find("\r\n\r\n", nameEnd);
    if (headersEnd == npos) return "";
    const std::size_t data = headersEnd + 4;
    const std::size_t next = FindBoundary(data);
    if (next == npos || next < data + 2) return "";
    const std::size_t size = next - 2 - data;
    if (MaxFileSize != 0 && static_cast<double>(size) > MaxFileSize) return "";
    if (!WriteNewFile(target, body.substr(data, size))) return "";
    return fileName;
}

}  // namespace admin
