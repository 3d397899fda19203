#pragma once
// The board's two help pages, ubbcode.htm (the markup tags) and smiles.htm
// (the smiley codes), written from the converter itself: every example's
// result is what the board shows for it in a post. The pages are kept in
// site/www; tests/tools/HelpPagesTest.cpp checks that they match.
#include <string>
#include <string_view>
#include <vector>

namespace helppages {

struct TagExample {
    std::string_view what;     // what the tag does
    std::string_view example;  // as typed in a post
    // Embedded content (frames, movies) shows the HTML it becomes rather
    // than loading it into the help page.
    bool shown = true;
};

const std::vector<TagExample>& TagExamples();

// The pages as UTF-8 text; the site keeps them in GBK.
std::string UbbCodePage();
std::string SmileysPage();

}  // namespace helppages
