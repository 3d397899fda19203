#pragma once
// The question a page asks before a change that a link leads to: a link (a
// GET) may come from a picture in a post, so only the posted answer acts.
#include <string>
#include <utility>
#include <vector>

namespace core {

struct Confirmation {
    std::string page;                                        // where the answer posts: "favor.asp"
    std::vector<std::pair<std::string, std::string>> fields;  // hidden name and value (UTF-8 text)
    std::string strip;                                       // the strip row: what is asked (markup)
    std::string question;                                    // the row below it (markup)
    std::string button;                                      // the submit button's label
};

// The form in the board's table style, its button posting `fields`.
std::string ConfirmationForm(const Confirmation& confirmation);

}  // namespace core
