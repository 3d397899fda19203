#pragma once
// Running the converter on plain strings in tests.
#include <string>

#include "UbbCode/UbbCode.h"

// One input and the text it must give.
struct Case {
    const char* input;
    const char* expected;
};

inline std::string ubb(const std::string& text) {
    markup::UbbCode converter;
    platform::Variant content(text);
    return converter.UbbCode(content);
}

inline std::string smiles(const std::string& text) {
    markup::UbbCode converter;
    platform::Variant content(text);
    return converter.Smiles(content);
}

// As the thread view renders a post with smileys on.
inline std::string ubbAndSmiles(const std::string& text) {
    markup::UbbCode converter;
    platform::Variant content(text);
    converter.UbbCode(content);
    return converter.Smiles(content);
}
