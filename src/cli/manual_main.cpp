// Writes a manual page to standard output: "vortimax" or "vortimax-cli". Run by the build.

#include "cli/manual_page.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    const std::string_view page = argc == 2 ? argv[1] : "";
    if (page == "vortimax")
        vortimax::cli::writeDesktopManualPage(std::cout);
    else if (page == "vortimax-cli")
        vortimax::cli::writeCliManualPage(std::cout);
    else {
        std::cerr << "usage: vortimax-manual vortimax|vortimax-cli\n";
        return 2;
    }
    return std::cout.flush() ? 0 : 1;
}
