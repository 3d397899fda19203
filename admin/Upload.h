#pragma once
// Upload: the reader of a multipart/form-data request body that the upload
// page (admin/upload.asp) uses; nothing outside the control panel creates it.
//
//   Upload up;
//   up.MaxFileSize = kUploadMaxFileSize;
//   up.AllowedExtensions = kUploadAllowedExtensions;
//   up.SavePath = folder;
//   up.Receive(Request(), kUploadLeadingBytes);    // the leading fields only
//   std::string user = up.GetTheValue("username");
//   ... check the identity, then
//   up.ReceiveRest(Request());
//   std::string saved = up.SaveTheFile("image");   // "" when refused
//
// Parts are found as browsers write them: the boundary line, then
// `Content-Disposition: form-data; name="..."` at a fixed offset. A part
// written otherwise is not found; nothing is ever read beyond the body.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class Request;
}

namespace admin {

// The largest file the upload page stores, and the largest request body it
// accepts: the file with room for the form's other fields and the part
// headers. The host refuses a longer body before reading it.
inline constexpr std::size_t kUploadMaxFileSize = 2 * 1048576;
inline constexpr std::size_t kUploadBodyLimit = kUploadMaxFileSize + 64 * 1024;
// What the page reads of a body before it knows who sends it: the form's
// name and password, which the upload form sends before the file, with
// their part headers. A stranger's file is neither read nor searched.
inline constexpr std::size_t kUploadLeadingBytes = 8 * 1024;
// The harmless types the upload page stores: pictures (no SVG, which may
// carry script), archives, plain text and PDF.
inline constexpr const char* kUploadAllowedExtensions = "gif,jpg,jpeg,png,bmp,webp,ico,zip,rar,7z,gz,tgz,bz2,tar,txt,pdf";

// One folder below the upload base folder, as the member administration
// stores it: no separators, no "..", no hidden name ("" is allowed: none set).
bool IsPlainFolderName(const std::string& folder);

class Upload {
public:
    // Largest file SaveTheFile writes, in bytes; 0 for no limit.
    double MaxFileSize = 0;
    // Comma-separated extensions SaveTheFile writes, compared ignoring case;
    // a file of any other type, or without one, is refused.
    std::string AllowedExtensions;
    // The folder SaveTheFile writes into; nothing is written while empty.
    std::string SavePath;

    // Takes the first `count` bytes of the request's body (all of it when
    // `count` is larger); false when they hold no boundary line (empty, not
    // multipart, or a first line too long for one). Parts are found only
    // when they end within what was taken.
    bool Receive(platform::Request& request, std::size_t count);
    // Takes the rest of the body, after what Receive took.
    void ReceiveRest(platform::Request& request);
    // The text of the first part named `name` (exact name), from the pages'
    // character set; "" when there is none.
    std::string GetTheValue(std::string_view name) const;
    // Writes the file of the first part named `name` into SavePath and
    // returns its name without folders; "" when there is no such file, its
    // name or type is refused, it is over MaxFileSize, a file of that name
    // exists already, or it cannot be written.
    std::string SaveTheFile(std::string_view name) const;
    // The name of the file of the part `name` when a file of that name lies
    // in SavePath already, else "".
    std::string TakenFileName(std::string_view name) const;

private:
    // The start of the next boundary at or after `start`, or npos.
    std::size_t FindBoundary(std::size_t start) const;
    // The position of the double quote that closes the name of the first
    // part named `name`, or npos.
    std::size_t FindFieldHeader(std::string_view name) const;
    // The end of the file name of the first part named `name`, with the
    // name without folders ("" when unsafe) in `fileName`; npos when the
    // part has no file.
    std::size_t FindFileName(std::string_view name, std::string& fileName) const;

    std::string body_;
    std::string boundary_;
};

}  // namespace admin
