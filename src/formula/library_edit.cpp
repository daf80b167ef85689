#include "formula/library_edit.h"

#include "base/frontend.h"
#include "base/text_utils.h"
#include "formula/library_reader.h"

#include <algorithm>

namespace vortimax {

namespace {

struct Texts {
    static constexpr std::string_view inUseCaption = "Deletion not possible";
    static constexpr std::string_view oneUser =
        "Sorry, but one fractal is currently using the formula \"";
    static constexpr std::string_view manyUsersBefore = "Sorry, but ";
    static constexpr std::string_view manyUsersAfter =
        " fractals are currently using the formula \"";
    static constexpr std::string_view namely = "\",\nnamely:\n";
    static constexpr std::string_view changeOne =
        "\nPlease change the formula of this fractal, then\nyou can delete this formula...";
    static constexpr std::string_view changeMany =
        "\nPlease change the formula of those fractals, then\nyou can delete this formula...";
    static constexpr std::string_view confirmCaption = "Delete operation";
    static constexpr std::string_view confirm =
        "You are about to delete a formula.\n\nDo you really want to delete it?";
};

bool breaksName(char c) {
    return static_cast<unsigned char>(c) <= 32 || c == '(' || c == '{' || c == '}';
}

} // namespace

bool isStorableEntryName(std::string_view name) {
    return !name.empty() && name.front() != ';' && static_cast<signed char>(name.front()) > 32 &&
           std::none_of(name.begin(), name.end(), breaksName) &&
           !equalsIgnoreCase(name, kCommentEntryName);
}

std::string entryInUseText(std::string_view name, const std::vector<std::string>& users) {
    const bool one = users.size() == 1;
    std::string text;
    if (one) {
        text += Texts::oneUser;
    } else {
        text += Texts::manyUsersBefore;
        text += std::to_string(users.size());
        text += Texts::manyUsersAfter;
    }
    text += name;
    text += Texts::namely;
    for (const std::string& user : users) {
        text += "- ";
        text += user;
        text += '\n';
    }
    text += one ? Texts::changeOne : Texts::changeMany;
    return text;
}

bool mayDeleteEntry(LibraryKind kind, std::string_view name, const EntryUsers& users, bool confirm,
                    Frontend& frontend) {
    const std::vector<std::string> using_ = users.fractalsUsing(kind, name);
    if (!using_.empty()) {
        frontend.messageBox(Texts::inUseCaption, entryInUseText(name, using_), MessageButtons::Ok,
                            MessageIcon::Information);
        return false;
    }
    if (!confirm) {
        return true;
    }
    return frontend.messageBox(Texts::confirmCaption, Texts::confirm, MessageButtons::YesNoCancel,
                               MessageIcon::Question) == MessageAnswer::Yes;
}

} // namespace vortimax
