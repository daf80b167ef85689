#include "palette/palette_list.h"
#include "ui/dropped_files.h"
#include "ui_fixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::UiFixture;

class OpenFilesTest : public UiFixture {
protected:
    OpenFilesTest() {
        test::writeBytes(dir / "two.par",
                         "A {\r\n Type=Mandel\r\n}\r\nB {\r\n Type=Julia\r\n}\r\n");
        fs::copy_file(fs::path(VORTIMAX_DATA_DIR) / "Palettes" / "Ocean.map", dir / "Sea.map");
    }

    std::size_t fractalsInCurrentFolder() const {
        const auto* folder = app->workspace().currentFolder();
        return folder == nullptr ? 0 : folder->fractals().size();
    }

    static QUrl url(const fs::path& file) {
        return QUrl::fromLocalFile(QString::fromStdString(file.string()));
    }
};

// The files named on the command line: kinds may be mixed, each is loaded as Load would.
TEST_F(OpenFilesTest, FilesOfDifferentKindsAreEachLoaded) {
    main->openFiles({dir / "Sea.map", dir / "two.par"});
    EXPECT_EQ(fractalsInCurrentFolder(), 2u);
    EXPECT_NE(app->palettes().find("Sea"), nullptr);
    // A missing file is reported, not fatal.
    main->openFiles({dir / "missing.par"});
    ASSERT_FALSE(scripted.messageBoxes().empty());
    EXPECT_EQ(fractalsInCurrentFolder(), 2u);
}

TEST_F(OpenFilesTest, DroppedLocalFilesAreLoadedAndWebAddressesIgnored) {
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.org/remote.par")), url(dir / "two.par")});
    const std::vector<fs::path> files = ui::droppedFiles(data);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], dir / "two.par");

    QDragEnterEvent offer(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &offer); // Qt delivers a drop only after an offer
    EXPECT_TRUE(offer.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(fractalsInCurrentFolder(), 2u);

    // Text without files is refused at the door.
    QMimeData text;
    text.setText(QStringLiteral("two.par"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(main.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

} // namespace
} // namespace vortimax
