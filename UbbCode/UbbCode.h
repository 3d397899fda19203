#pragma once
// OrvaneMarkup: converts the board's bracket markup, smiley codes and line
// breaks in post text to HTML.
//
// Each text operation takes the caller's Content, rewrites it in place
// after every step and also returns the result. Errors carry the source
// kMarkupSource. One object must not run two operations at the same time.
#include <string>
#include <string_view>
#include <vector>

#include "platform/ClassRegistry.h"
#include "platform/RegExp.h"
#include "platform/Variant.h"

namespace markup {

inline constexpr const char* kUbbCodeClassId = "{2D49D102-2278-44ED-B8D8-793821DC437B}";
inline constexpr const char* kUbbCodeProgId = "OrvaneMarkup.UbbCode";
// The images folder of a new converter.
inline constexpr const char* kDefaultImagesUrl = "images";

struct Rule;
class TagNeedles;

// The class is UbbCode (see the alias below); C++ does not allow a method
// named as its own class, so the type itself carries another name.
class UbbCodeObject : public platform::CreatableObject {
public:
    UbbCodeObject();

    // Folder or URL prefix of the smiley and download images: "" stores
    // "images", one trailing "/" is cut.
    void ImagesURL(std::string_view newValue);
    const std::string& ImagesURL() const { return imagesUrl_; }

    // Links bare addresses, converts line breaks, tags and quotes, tabs and
    // double blanks. Null or "" give "" (Content keeps its Null).
    std::string UbbCode(platform::Variant& content);
    // Smiley codes to images. Null or "" give "".
    std::string Smiles(platform::Variant& content);
    // Line breaks to "<br>" and "<P>". Error 94 for Null.
    std::string ConvertReturns(platform::Variant& content);
    // Collapses runs of line feeds and carriage returns. Error 94 for Null.
    std::string LimitReturns(platform::Variant& content);

private:
    // The steps of ConvertReturns and LimitReturns on a Content that
    // already holds a String.
    void convertReturns(platform::Variant& content);
    void limitReturns(platform::Variant& content);
    // Each rule whose needle occurs in the text, or among the tag needles
    // present when those are given.
    void applyRules(platform::Variant& content, const std::vector<Rule>& rules,
                    const TagNeedles* present = nullptr);
    std::string replacementFor(const Rule& rule) const;

    std::string imagesUrl_ = kDefaultImagesUrl;
    // One object for every pattern step of this converter.
    platform::RegExp regExp_;
};

using UbbCode = UbbCodeObject;

}  // namespace markup
