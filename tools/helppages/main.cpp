// help-pages: writes the board's help pages ubbcode.htm and smiles.htm, in
// GBK, into the given folder (the site's static folder, site/www).
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/Charset.h"
#include "tools/helppages/HelpPages.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << platform::Utf8ToGbk(text);
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: help-pages FOLDER   (writes ubbcode.htm and smiles.htm there)\n");
        return 2;
    }
    const std::string folder = argv[1];
    if (!Write(folder + "/ubbcode.htm", helppages::UbbCodePage()) ||
        !Write(folder + "/smiles.htm", helppages::SmileysPage())) {
        std::fprintf(stderr, "help-pages: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
