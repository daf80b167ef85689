#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace vortimax {

class Application;

// The generic Load command: the extension of the first file (any letter case) chooses the
// loader for all of them: palettes (.map), parameter files (.par, .zar; each into a new
// folder), an image (.png, the first file only) or, through the formula libraries,
// formulas (.frm), IFS (.ifs) and L-systems (.l). No file gives the box "Nothing
// selected"; any other extension a box naming the extensions that can be loaded.
void loadFiles(Application& app, const std::vector<std::filesystem::path>& files);

// Files the desktop hands to the program (named on its command line, dropped on its main
// window): each is loaded as Load would, one by one, so kinds may be mixed. A .zar file
// describes exactly one fractal, so that fractal also opens in its window and is calculated,
// which is what a double-click on the file in a file manager promises.
void openDesktopFiles(Application& app, const std::vector<std::filesystem::path>& files);

// Reads parameter (.par) and Tierazon (.zar) files, each .par file into a new folder
// under the progress window; the last folder read becomes current. A file that gives no
// fractals is reported.
void loadParameterFiles(Application& app, const std::vector<std::filesystem::path>& files);

// Loads a PNG image as a fractal of its own and shows it in its window; without a file
// the image requester asks for one.
void loadImageFile(Application& app, std::optional<std::filesystem::path> file);

} // namespace vortimax
