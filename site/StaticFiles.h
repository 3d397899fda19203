#pragma once
// The site folder's static files (stylesheet, images, help page). Addresses
// ignore letter case, as the pages link them in any case. The folder is read once at
// start; a file added later is still found under its exact name. A file
// whose path, symbolic links followed, leads out of its folder is none.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace site {

struct StaticFile {
    std::string contentType;
    std::string content;
};

class StaticFiles {
public:
    explicit StaticFiles(std::string root);
    // `address` without the leading "/"; none for a missing file or one
    // outside the folder.
    std::shared_ptr<const StaticFile> Find(std::string_view address) const;
    const std::string& Root() const { return root_; }

private:
    std::string root_;
    std::unordered_map<std::string, std::shared_ptr<const StaticFile>> files_;  // by lower-cased address
};

// A file of a folder that changes while the board runs (uploads, news
// feeds): read from disk at each request, its name matched exactly. None
// for a missing file or one outside the folder.
std::shared_ptr<const StaticFile> ReadFolderFile(const std::string& root, std::string_view address);

std::string ContentTypeOf(std::string_view fileName);

}  // namespace site
