#pragma once

#include "animation/anim_data.h"
#include "ui/tool_window.h"
#include "video/video_options.h"

class QPushButton;
class QTableWidget;
class QTimer;

namespace vortimax {
class Folder;
class FractalRecord;
class RunningAnimation;
} // namespace vortimax

namespace vortimax::ui {

class AnimationSettingsForm;

// How videos are written in this session: the choice of the compression dialog, kept until
// the program ends.
VideoSettings& sessionVideoSettings();

// "Anim1": the key frames of the program's animation folder with the frame gap before
// each (editable; a gap below 1 is refused), the animation's settings, and its commands:
// add the current fractal as a key, delete a key, start and stop the animation, convert it
// into a folder of fractals, load and save its animation data file, and choose the video
// compression. While an animation runs, the commands that would disturb it are off.
class AnimationWindow final : public ToolWindow {
public:
    AnimationWindow(UiContext& context, QWidget* parent);
    void refresh() override;

    const AnimData& animationData() const { return data_; }

private:
    QPushButton* button(const char* name, const QString& label, void (AnimationWindow::*run)());
    Folder* animation();
    RunningAnimation* running() const;
    std::vector<FractalRecord*> keys();
    void followFolder();
    void showKeys();
    void enableButtons();
    void gapEdited(int row, int column);
    void settingsEdited(const AnimData& data);
    void changedKeys();

    void addKey();
    void deleteKey();
    void start();
    void stop();
    void convert();
    void load();
    void save();
    void compression();

    QTableWidget* keys_;
    AnimationSettingsForm* settings_;
    QPushButton* addKey_;
    QPushButton* deleteKey_;
    QPushButton* start_;
    QPushButton* stop_;
    QPushButton* convert_;
    QPushButton* load_;
    QPushButton* save_;
    QPushButton* compression_;
    QTimer* watch_;
    AnimData data_;
    const Folder* dataFolder_ = nullptr;
};

} // namespace vortimax::ui
