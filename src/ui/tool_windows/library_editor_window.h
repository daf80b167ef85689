#pragma once

#include "formula/library_save.h"
#include "ui/tool_window.h"
#include "ui/tool_windows/editing_view.h"

#include <QListWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QListWidgetItem;
class QPushButton;

namespace vortimax {
class LibraryAccess;
} // namespace vortimax

namespace vortimax::ui {

// What the three library editors share: the list of the library's entries (sorted, renamed
// in place), the pane of the entry shown (the kind's own), and the commands New,
// Duplicate, Apply, Delete, Load, Save and Save all. Every change of a library refreshes
// the whole program, so menus and parameter windows follow it.
class LibraryEditorWindow : public ToolWindow {
public:
    // The lists follow the library; an entry being typed or renamed is left alone.
    void refresh() override;

    // The commands, as their buttons run them.
    bool newEntry();
    bool duplicate();
    bool apply();
    bool deleteEntry();
    void loadFiles(const std::vector<std::filesystem::path>& files);
    void loadFromRequester();
    LibrarySaveResult save();
    LibrarySaveResult saveAll();
    // Renames an entry (its fractals follow); a name that cannot be stored in a library
    // file is refused with a box.
    bool rename(const std::string& name, const std::string& newName);
    // Shows another entry, as a click in the list does; false when the person chose to
    // stay with an edit that was not applied.
    bool select(const std::string& name);

    // The entry shown; empty when the library is empty.
    const std::string& currentName() const { return current_; }
    QListWidget& list() { return *list_; }

protected:
    LibraryEditorWindow(UiContext& context, int windowId, std::string_view title,
                        std::unique_ptr<LibraryAccess> access, QWidget* parent);
    ~LibraryEditorWindow() override;

    // Puts the kind's pane beside the list and shows the first entry. `hasApply` is false
    // for panes whose edits take effect at once.
    void setPane(QWidget* pane, bool hasApply);

    // Fills the pane with the entry (empty name: none), dropping any unapplied edit.
    virtual void showEntry(const std::string& name) = 0;
    // The pane holds an edit that was not applied.
    virtual bool paneModified() const = 0;
    // The person is typing into a part of the pane that applies itself when left.
    virtual bool paneBusy() const { return false; }
    // Stores the pane's edit into the entry shown; false (nothing changed) when it cannot.
    virtual bool applyPane() = 0;

    // Refuses, with a box, text a library file could not hold: a "}" ends the entry.
    bool storable(std::string_view text);
    void tell(std::string_view text);
    Frontend& frontend();
    LibraryAccess& access() { return *access_; }
    // The library changed: show `select`, refresh everything.
    void changed(const std::string& select);

private:
    QWidget* commandRow();
    void fillList(const std::vector<std::string>& names);
    void markCurrent();
    void onCurrentItemChanged(QListWidgetItem* item);
    void onItemChanged(QListWidgetItem* item);
    // Before another entry is shown or the stored entry is used: asks whether an
    // unapplied edit is to be applied. False when the person cancels (or it fails).
    bool settlePendingEdit();

    std::string title_;
    std::unique_ptr<LibraryAccess> access_;
    EditingView<QListWidget>* list_;
    QPushButton* apply_ = nullptr;
    std::vector<std::string> shown_;
    std::string current_;
};

} // namespace vortimax::ui
