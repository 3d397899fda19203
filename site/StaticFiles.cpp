#include "site/StaticFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/Strings.h"

namespace fs = std::filesystem;

namespace site {

namespace {

bool StaysInside(std::string_view address) {
    if (address.empty() || address.front() == '/') return false;
    for (const auto& part : fs::path(address))
        if (part == "..") return false;
    return address.find('\\') == std::string_view::npos &&
           address.find('\0') == std::string_view::npos;
}

// `path` with its symbolic links followed, when that lies inside `root`
// (itself resolved); none otherwise: a link leading out of the folder
// serves nothing.
std::optional<fs::path> ResolvedInside(const fs::path& root, const fs::path& path) {
    std::error_code error;
    const fs::path realRoot = fs::canonical(root, error);
    if (error) return std::nullopt;
    const fs::path real = fs::canonical(path, error);
    if (error || std::mismatch(realRoot.begin(), realRoot.end(), real.begin(), real.end()).first != realRoot.end())
        return std::nullopt;
    return real;
}

// The file `path` of the folder `root`, read as its resolved path; its type
// is that of the name asked for.
std::shared_ptr<const StaticFile> ReadFile(const fs::path& root, const fs::path& path) {
    const std::optional<fs::path> real = ResolvedInside(root, path);
    std::error_code error;
    if (!real || !fs::is_regular_file(*real, error)) return nullptr;
    // Read at its size in one go: a file added after start is read at every
    // request, and copying it through a string stream cost more than sending it.
    std::ifstream in(*real, std::ios::binary | std::ios::ate);
    if (!in) return nullptr;
    const std::streamoff size = in.tellg();
    if (size < 0) return nullptr;
    std::string content(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    in.read(content.data(), size);
    content.resize(static_cast<std::size_t>(in.gcount()));  // shorter when it shrank meanwhile
    return std::make_shared<const StaticFile>(
        StaticFile{ContentTypeOf(path.filename().string()), std::move(content)});
}

}  // namespace

StaticFiles::StaticFiles(std::string root) : root_(std::move(root)) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const std::string address = fs::relative(it->path(), root_, error).generic_string();
        if (auto file = ReadFile(root_, it->path())) files_.emplace(platform::LCase(address), std::move(file));
    }
}

std::shared_ptr<const StaticFile> StaticFiles::Find(std::string_view address) const {
    if (!StaysInside(address)) return nullptr;
    const auto it = files_.find(platform::LCase(address));
    if (it != files_.end()) return it->second;
    return ReadFile(root_, fs::path(root_) / address);
}

std::shared_ptr<const StaticFile> ReadFolderFile(const std::string& root, std::string_view address) {
    if (!StaysInside(address)) return nullptr;
    return ReadFile(root, fs::path(root) / address);
}

// ".htm" pages are GBK as the board's pages are (the help pages); ".html"
// ones UTF-8.
std::string ContentTypeOf(std::string_view fileName) {
    static const std::unordered_map<std::string, std::string> kTypes = {
        {".css", "text/css"},          {".gif", "image/gif"},
        {".jpg", "image/jpeg"},        {".jpeg", "image/jpeg"},
        {".png", "image/png"},         {".ico", "image/x-icon"},
        {".html", "text/html; charset=utf-8"}, {".htm", "text/html; charset=gb2312"},
        {".js", "application/javascript"},     {".txt", "text/plain; charset=utf-8"},
        {".bmp", "image/bmp"},         {".webp", "image/webp"},
        {".pdf", "application/pdf"},   {".zip", "application/zip"},
        {".rar", "application/vnd.rar"},       {".7z", "application/x-7z-compressed"},
        {".gz", "application/gzip"},   {".tgz", "application/gzip"},
        {".bz2", "application/x-bzip2"},       {".tar", "application/x-tar"},
    };
    const std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
        const auto it = kTypes.find(platform::LCase(fileName.substr(dot)));
        if (it != kTypes.end()) return it->second;
    }
    return "application/octet-stream";
}

}  // namespace site
