#include "animation/key_list.h"
#include "animation/running_animation.h"
#include "imagefile/png_loader.h"
#include "model/folder.h"
#include "model/workspace.h"
#include "ui/tool_windows/animation_window.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace vortimax {
namespace {

constexpr int kNewMandel = 29018;
constexpr int kAnimationWindowCommand = 29063;

class AnimationWindowTest : public test::UiFixture {
protected:
    AnimationWindowTest() { app->setAnimationControl(&running); }
    ~AnimationWindowTest() override {
        if (running.isRunning())
            click("Stop");
        app->setAnimationControl(nullptr);
    }

    ui::AnimationWindow* open() {
        return dynamic_cast<ui::AnimationWindow*>(
            main->openToolWindowForCommand(kAnimationWindowCommand));
    }
    template <typename Widget> Widget* field(const char* name) {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }
    void click(const char* name) {
        QPushButton* button = field<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }
    void typeGap(int row, const char* text) {
        field<QTableWidget>("Keys")->item(row, 1)->setText(QString::fromLatin1(text));
    }
    std::vector<FractalRecord*> keys() const {
        return animationKeys(*app->workspace().animationFolder());
    }

    RunningAnimation running{app->workspace(), app->palettes(), app->views(), app->frontend()};
    ui::AnimationWindow* window = nullptr;
};

TEST_F(AnimationWindowTest, TwoKeysStartedWriteTheirFramesAsPngFiles) {
    createFromMenu(kNewMandel);
    window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(field<QPushButton>("Start")->isEnabled()); // no keys yet
    click("AddKey");
    click("AddKey");
    ASSERT_EQ(keys().size(), 2u);
    EXPECT_NE(keys()[0]->name, keys()[1]->name);
    QTableWidget* table = field<QTableWidget>("Keys");
    ASSERT_EQ(table->rowCount(), 2);

    // A gap below 1 is refused with its message; a good one is taken.
    const double before = keys()[1]->numFrames;
    typeGap(1, "0.5");
    EXPECT_EQ(keys()[1]->numFrames, before);
    ASSERT_FALSE(scripted.messageBoxes().empty());
    EXPECT_EQ(scripted.messageBoxes().back().text, kShortGapText);
    EXPECT_EQ(table->item(1, 1)->text().toDouble(), before);
    typeGap(1, "3");
    EXPECT_EQ(keys()[1]->numFrames, 3.0);
    EXPECT_EQ(table->item(1, 2)->text(), QStringLiteral("4")); // the last key's frame

    field<QComboBox>("SaveMode")->setCurrentIndex(0);
    field<QSpinBox>("Width")->setValue(32);
    field<QSpinBox>("Height")->setValue(20);
    field<QComboBox>("Interpolation")->setCurrentIndex(0);
    EXPECT_EQ(window->animationData().width, 32);
    EXPECT_EQ(window->animationData().interpolation, 0);

    std::filesystem::create_directories(dir / "frames");
    scripted.queuePath(dir / "frames" / "Movie");
    click("Start");
    ASSERT_TRUE(running.isRunning());
    EXPECT_FALSE(field<QPushButton>("Start")->isEnabled());
    EXPECT_FALSE(field<QPushButton>("AddKey")->isEnabled());
    EXPECT_TRUE(field<QPushButton>("Stop")->isEnabled());
    // The frame fractal never joins the key list.
    EXPECT_EQ(keys().size(), 2u);

    ASSERT_TRUE(test::processUntil([&] { return !running.isRunning(); }));
    ASSERT_TRUE(test::processUntil([&] { return field<QPushButton>("Start")->isEnabled(); }));
    EXPECT_FALSE(field<QPushButton>("Stop")->isEnabled());
    for (int f = 1; f <= 4; ++f) {
        DecodedPng image;
        ASSERT_EQ(loadPng(dir / "frames" / ("Movie" + std::to_string(f) + ".png"), image),
                  PngLoadResult::Loaded)
            << f;
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 20);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "frames" / "Movie5.png"));
}

TEST_F(AnimationWindowTest, StopEndsARunningAnimationAndSaveLoadKeepsKeysAndSettings) {
    createFromMenu(kNewMandel);
    window = open();
    ASSERT_NE(window, nullptr);
    click("AddKey");
    click("AddKey");
    typeGap(1, "500");
    field<QComboBox>("SaveMode")->setCurrentIndex(0);
    field<QSpinBox>("Width")->setValue(24);
    field<QSpinBox>("FPS")->setValue(25);

    scripted.queuePath(dir / "Long");
    click("Start");
    ASSERT_TRUE(running.isRunning());
    click("Stop");
    EXPECT_FALSE(running.isRunning());
    EXPECT_TRUE(field<QPushButton>("Start")->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(dir / "Long500.png"));

    scripted.queuePath(dir / "Saved.anm");
    click("Save");
    ASSERT_TRUE(std::filesystem::exists(dir / "Saved.anm"));
    const Folder* before = app->workspace().animationFolder();
    scripted.queuePath(dir / "Saved.anm");
    click("Load");
    ASSERT_NE(app->workspace().animationFolder(), before);
    ASSERT_EQ(keys().size(), 2u);
    EXPECT_EQ(keys()[1]->numFrames, 500.0);
    EXPECT_EQ(window->animationData().width, 24);
    EXPECT_EQ(window->animationData().framesPerSecond, 25);
    EXPECT_EQ(field<QSpinBox>("FPS")->value(), 25);
}

} // namespace
} // namespace vortimax
