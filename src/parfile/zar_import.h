#pragma once

#include "model/fractal_record.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace vortimax {

class Frontend;
class Workspace;

// Tierazon parameter files (".zar") describe one fractal each: a header line, then one
// number per line. The numbers are known here by their position, field 0 being the
// line after the header.
constexpr std::size_t kZarFieldCount = 69;
constexpr std::size_t kZarHeaderLength = 500; // longer header lines are cut
using ZarFields = std::array<double, kZarFieldCount>;

// Skips the header line and reads the numbers, one per line, the way "%lf" reads them.
// A line that does not start with a finite number counts as 0 and the next line is the
// next field, so text such as "z*z+c" on a line never shifts the fields after it.
// Fields past the end of the input are 0. Every line is cut at kZarHeaderLength bytes
// (the rest up to its end skipped), so reading is bounded whatever the input.
ZarFields readZarFields(std::istream& in);

// The fractal name of a file: its name without directory, cut at the first dot, each
// word capitalised ("MY_ZOOM.ZAR" gives "My_Zoom").
std::string zarFractalName(const std::filesystem::path& path);

// Turns the fields into a Tiera_Julia or Tiera_Mandel record named `name`. A file that
// uses a feature those types cannot reproduce (another formula, inversion, orientation,
// the dimension-variant switch) is refused with a message and gives none; a colouring
// value without a counterpart becomes 0 with a message and the record is still made.
// Messages go to the frontend's message window.
std::unique_ptr<FractalRecord> recordFromZarFields(const ZarFields& fields, std::string_view name,
                                                   Frontend& frontend,
                                                   const RecordCreationContext& context = {});

// Reads a .zar file into a new record, or none when it is refused or cannot be read
// (reported as a message).
std::unique_ptr<FractalRecord> importZar(const std::filesystem::path& path, Frontend& frontend,
                                         const RecordCreationContext& context = {});

// Imports a .zar file and adds the record (with a unique name, not selected) to the
// current folder. Without a current folder it goes to the first project folder; when
// there is none, a project folder "Unnamed" is created in the file's directory (as for
// the first new fractal without a folder). Returns the added record, or none.
FractalRecord* importZarIntoWorkspace(const std::filesystem::path& path, Workspace& workspace,
                                      Frontend& frontend,
                                      const RecordCreationContext& context = {});

} // namespace vortimax
