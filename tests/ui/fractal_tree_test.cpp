// Mouse input goes through the window system layer, so the program sees the buttons
// held down as it would on a desktop.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/tool_window_registry.h"
#include "model/type_registry.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/fractal_tree_view.h"
#include "ui/tool_windows/fractal_type_list_view.h"
#include "ui_fixture.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>
#include <string>
#include <vector>

namespace vortimax {
namespace {

using test::processUntil;

constexpr int kNewMandel = 29018;
constexpr int kNewMandel24 = 29016; // named Mandel, Mandel.1, ...
constexpr int kNewJulia = 29017;
constexpr int kFractalTreeCommand = 29188;
constexpr int kDuplicateCommand = 29134;

// Double-clicks an entry of a list or tree shown in its own window.
void doubleClick(QAbstractItemView& view, const QRect& entry) {
    ASSERT_TRUE(processUntil([&] {
        return view.window()->windowHandle() != nullptr &&
               view.window()->windowHandle()->isExposed();
    }));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, entry.center());
}

void pressKey(QWidget& widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

class FractalTreeTest : public test::UiFixture {
protected:
    ui::FractalTreeView& openTree() {
        auto* view =
            dynamic_cast<ui::FractalTreeView*>(main->openToolWindowForCommand(kFractalTreeCommand));
        EXPECT_NE(view, nullptr);
        return *view;
    }

    static QTreeWidgetItem* itemOf(ui::FractalTreeView& view, const Folder* folder,
                                   const FractalRecord* fractal) {
        for (QTreeWidgetItemIterator it(&view.tree()); *it != nullptr; ++it) {
            const TreeNodeRef node = view.nodeOf(*it);
            if (node.folder == folder && node.fractal == fractal)
                return *it;
        }
        return nullptr;
    }

    static std::vector<std::string> texts(const QTreeWidgetItem& folderItem) {
        std::vector<std::string> names;
        for (int i = 0; i < folderItem.childCount(); ++i)
            names.push_back(folderItem.child(i)->text(0).toStdString());
        return names;
    }

    Folder& projectFolder() { return *app->workspace().currentFolder(); }
    Folder& secondFolder() {
        Folder& folder = app->workspace().createFolder(dir.path(), "Second", FolderKind::Project);
        main->refreshAll();
        return folder;
    }
};

TEST_F(FractalTreeTest, ShowsEveryFolderWithItsFractalsAndTheCurrentOne) {
    createFromMenu(kNewMandel);
    createFromMenu(kNewJulia);
    FractalRecord& current = createFromMenu(kNewMandel);
    ui::FractalTreeView& view = openTree();
    const Workspace& workspace = app->workspace();
    ASSERT_EQ(view.tree().topLevelItemCount(), static_cast<int>(workspace.folders().size()));
    const QTreeWidgetItem* project = nullptr;
    const QTreeWidgetItem* animation = nullptr;
    for (std::size_t i = 0; i < workspace.folders().size(); ++i) {
        const Folder& folder = workspace.folders()[i];
        const QTreeWidgetItem* item = view.tree().topLevelItem(static_cast<int>(i));
        EXPECT_EQ(item->text(0).toStdString(), folder.name());
        std::vector<std::string> names;
        for (const FractalRecord& record : folder.fractals().all())
            names.push_back(record.name);
        EXPECT_EQ(texts(*item), names);
        (folder.isAnimation() ? animation : project) = item;
    }
    ASSERT_TRUE(project != nullptr && animation != nullptr);
    EXPECT_NE(project->icon(0).pixmap(16).toImage(), animation->icon(0).pixmap(16).toImage());
    EXPECT_EQ(texts(*itemOf(view, current.folder, nullptr)).size(), 3u);
    EXPECT_EQ(view.tree().currentItem(), itemOf(view, current.folder, &current));
}

TEST_F(FractalTreeTest, SelectingANodeMakesItCurrent) {
    FractalRecord& first = createFromMenu(kNewMandel);
    createFromMenu(kNewMandel);
    ui::FractalTreeView& view = openTree();
    view.tree().setCurrentItem(itemOf(view, first.folder, &first));
    EXPECT_EQ(app->currentFractal(), &first);

    Folder* animation = app->workspace().animationFolder();
    ASSERT_NE(animation, nullptr);
    view.tree().setCurrentItem(itemOf(view, animation, nullptr));
    EXPECT_EQ(app->workspace().currentFolder(), animation);
}

TEST_F(FractalTreeTest, RenamingInPlaceShowsTheNameTheWorkspaceGave) {
    struct Case {
        std::string typed;
        std::string shown; // empty: the name stays as it was
    };
    const Case cases[] = {
        {"Spiral", "Spiral"},
        {std::string(70, 'x'), std::string(63, 'x')},
        {"   ", ""},
        {"Mandel.1", "Mandel.2"}, // taken by the other fractal
    };
    for (const Case& c : cases) {
        FractalRecord& record = createFromMenu(kNewMandel24);
        createFromMenu(kNewMandel24);
        ui::FractalTreeView& view = openTree();
        const std::string before = record.name;
        itemOf(view, record.folder, &record)->setText(0, QString::fromStdString(c.typed));
        const std::string expected = c.shown.empty() ? before : c.shown;
        EXPECT_EQ(record.name, expected) << c.typed;
        EXPECT_TRUE(processUntil([&] {
            return itemOf(view, record.folder, &record)->text(0).toStdString() == expected;
        })) << c.typed;
        while (FractalRecord* fractal = projectFolder().fractals().first())
            app->workspace().deleteFractal(*fractal, false);
    }
    ui::FractalTreeView& view = openTree();
    itemOf(view, &projectFolder(), nullptr)->setText(0, "Projects");
    EXPECT_EQ(projectFolder().name(), "Projects");
}

TEST_F(FractalTreeTest, DroppingFollowsTheWorkspace) {
    FractalRecord& moved = createFromMenu(kNewMandel);
    FractalRecord& target = createFromMenu(kNewJulia);
    Folder& home = projectFolder();
    Folder& second = secondFolder();
    ui::FractalTreeView& view = openTree();

    EXPECT_EQ(view.dropNode(itemOf(view, &home, &moved), itemOf(view, &second, nullptr)),
              MoveResult::Moved);
    EXPECT_EQ(moved.folder, &second);
    EXPECT_EQ(texts(*itemOf(view, &second, nullptr)), std::vector<std::string>{moved.name});

    EXPECT_EQ(view.dropNode(itemOf(view, &second, &moved), itemOf(view, &home, &target)),
              MoveResult::Moved);
    EXPECT_EQ(moved.folder, &home);
    EXPECT_TRUE(texts(*itemOf(view, &second, nullptr)).empty());

    EXPECT_EQ(view.dropNode(itemOf(view, &second, nullptr), itemOf(view, &home, nullptr)),
              MoveResult::FolderNotMovable);
    EXPECT_EQ(view.tree().topLevelItemCount(), static_cast<int>(app->workspace().folders().size()));
}

TEST_F(FractalTreeTest, KeysCalculateAndDeleteThroughTheCommands) {
    createFromMenu(kNewMandel);
    main->runCommand(kDuplicateCommand);
    FractalRecord* copy = app->currentFractal();
    ASSERT_TRUE(copy != nullptr && copy->view == nullptr);
    ui::FractalTreeView& view = openTree();
    pressKey(view.tree(), Qt::Key_Return);
    EXPECT_TRUE(processUntil([&] { return copy->view != nullptr; }));

    const std::size_t count = projectFolder().fractals().size();
    scripted.clearCalls();
    pressKey(view.tree(), Qt::Key_Delete);
    EXPECT_EQ(projectFolder().fractals().size(), count - 1);
    ASSERT_EQ(scripted.messageBoxes().size(), 1u);
    EXPECT_EQ(scripted.messageBoxes().front().caption, "Delete operation");
    EXPECT_EQ(texts(*itemOf(view, &projectFolder(), nullptr)).size(), count - 1);
}

TEST_F(FractalTreeTest, TypeListCreatesAFractalOfTheChosenType) {
    auto row = ToolWindowRegistry::findByKeyword("FractSel");
    ASSERT_TRUE(row.has_value());
    auto* view = dynamic_cast<ui::FractalTypeListView*>(main->openToolWindow(*row));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->list().count(), static_cast<int>(fractalTypes().size()));
    for (const std::uint32_t type : {kTypeJulia, kTypeMandel24}) {
        const auto found =
            view->list().findItems(ui::toQString(fractalType(type)->menuText), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        view->list().setCurrentItem(found.front());
        pressKey(view->list(), Qt::Key_Return);
        const FractalRecord* record = app->currentFractal();
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->type, type);
        EXPECT_NE(record->view, nullptr);
    }
    EXPECT_EQ(projectFolder().fractals().size(), 2u);
}

// A fractal opened by double-click comes up while the button is still held: its window
// appearing is no resize by hand, so the fractal keeps its size and so do new fractals.
TEST_F(FractalTreeTest, DoubleClickOpensAFractalAtItsOwnSize) {
    createFromMenu(kNewMandel);
    main->runCommand(kDuplicateCommand);
    FractalRecord& copy = *app->currentFractal();
    ASSERT_EQ(copy.view, nullptr);
    copy.width = 96;
    copy.height = 72;
    ui::FractalTreeView& view = openTree();
    doubleClick(view.tree(), view.tree().visualItemRect(itemOf(view, copy.folder, &copy)));
    ASSERT_TRUE(processUntil([&] { return copy.view != nullptr && copy.view->finished(); }));
    app->setMouseButtonDown(false);
    app->onTimer(kMainTimer); // a resize the window had reported would be made now
    EXPECT_EQ(QSize(copy.width, copy.height), QSize(96, 72));
    EXPECT_EQ(main->fractalWindow(copy)->contentsRect().size(), QSize(96, 72));
    EXPECT_EQ(main->fractalWindow(copy)->canvas().currentImage().size(), QSize(96, 72));
    EXPECT_EQ(app->views().defaultWidth, 64);
    EXPECT_EQ(app->views().defaultHeight, 48);
    const FractalRecord& fresh = createFromMenu(kNewMandel);
    EXPECT_EQ(QSize(fresh.width, fresh.height), QSize(64, 48));
}

TEST_F(FractalTreeTest, DoubleClickInTheTypeListCreatesAFractalOfTheDefaultSize) {
    auto row = ToolWindowRegistry::findByKeyword("FractSel");
    ASSERT_TRUE(row.has_value());
    auto* view = dynamic_cast<ui::FractalTypeListView*>(main->openToolWindow(*row));
    ASSERT_NE(view, nullptr);
    const auto found =
        view->list().findItems(ui::toQString(fractalType(kTypeMandel)->menuText), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    doubleClick(view->list(), view->list().visualItemRect(found.front()));
    FractalRecord* record = app->currentFractal();
    ASSERT_NE(record, nullptr);
    ASSERT_TRUE(processUntil([&] { return record->view != nullptr && record->view->finished(); }));
    app->setMouseButtonDown(false);
    app->onTimer(kMainTimer);
    EXPECT_EQ(QSize(record->width, record->height), QSize(64, 48));
    EXPECT_EQ(main->fractalWindow(*record)->contentsRect().size(), QSize(64, 48));
    EXPECT_EQ(app->views().defaultWidth, 64);
}

} // namespace
} // namespace vortimax
