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

// A .zar file is one fractal: opening it from the desktop shows it in its window at once.
TEST_F(OpenFilesTest, ZarFileOpensItsFractalWindow) {
    // A plain Mandel in the file's fields f0 ... f49, one per line after the header line.
    std::string zar = "1.) \n";
    for (const char* field :
         {"1",   "0",     "0",    "300.9", "143",  "58", "27",     "2", "2",     "2",
          "5.5", "-2.25", "-1.5", "1.75",  "1.25", "0",  "0",      "0", "0",     "0",
          "0",   "0.25",  "-0.5", "1.5",   "0.75", "0",  "0.0625", "0", "0",     "1e-011",
          "0",   "4",     "0",    "256",   "1",    "0",  "0",      "1", "0",     "0",
          "0",   "0",     "0",    "0",     "0",    "0",  "0",      "0", "z*z+c", "0"})
        zar += std::string(field) + "\n";
    test::writeBytes(dir / "one.zar", zar);
    main->openFiles({dir / "one.zar"});
    ASSERT_EQ(fractalsInCurrentFolder(), 1u);
    EXPECT_NE(app->workspace().currentFolder()->fractals()[0].view, nullptr);
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
