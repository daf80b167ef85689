#include "ui/tool_windows/animation_window.h"

#include "animation/anim_file_commands.h"
#include "animation/convert_animation.h"
#include "animation/key_list.h"
#include "animation/key_timeline.h"
#include "animation/running_animation.h"
#include "animation/video_frame_sink.h"
#include "app/application.h"
#include "base/frontend.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "model/workspace.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/animation_settings_form.h"
#include "ui/tool_windows/video_compression_dialog.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <charconv>
#include <cmath>
#include <mutex>

namespace vortimax::ui {

namespace {

constexpr int kAnimationWindowId = 500;
constexpr int kNameColumn = 0;
constexpr int kGapColumn = 1;
constexpr int kFrameColumn = 2;
// How often a running animation is looked at, to enable the buttons again when it ends.
constexpr int kWatchMilliseconds = 200;

// A gap as typed: a finite decimal number, or nothing.
std::optional<double> parseGap(const QString& text) {
    const std::string typed = text.trimmed().toStdString();
    double value = 0.0;
    const auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
    if (typed.empty() || error != std::errc() || end != typed.data() + typed.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

QTableWidgetItem* cell(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

VideoSettings& sessionVideoSettings() {
    static VideoSettings settings;
    return settings;
}

AnimationWindow::AnimationWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kAnimationWindowId, parent) {
    setWindowTitle(tr("Animation"));
    keys_ = new QTableWidget(0, 3, this);
    keys_->setObjectName(QStringLiteral("Keys"));
    keys_->setHorizontalHeaderLabels({tr("Key"), tr("Gap"), tr("Frame")});
    keys_->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    keys_->setSelectionBehavior(QAbstractItemView::SelectRows);
    keys_->setSelectionMode(QAbstractItemView::SingleSelection);
    keys_->verticalHeader()->hide();
    settings_ =
        new AnimationSettingsForm([this](const AnimData& data) { settingsEdited(data); }, this);
    addKey_ = button("AddKey", tr("Add key"), &AnimationWindow::addKey);
    deleteKey_ = button("DeleteKey", tr("Delete key"), &AnimationWindow::deleteKey);
    start_ = button("Start", tr("Start"), &AnimationWindow::start);
    stop_ = button("Stop", tr("Stop"), &AnimationWindow::stop);
    convert_ = button("Convert", tr("Convert"), &AnimationWindow::convert);
    load_ = button("Load", tr("Load..."), &AnimationWindow::load);
    save_ = button("Save", tr("Save..."), &AnimationWindow::save);
    compression_ = button("Compression", tr("Compression..."), &AnimationWindow::compression);
    watch_ = new QTimer(this);
    watch_->setInterval(kWatchMilliseconds);
    connect(watch_, &QTimer::timeout, this, [this] { enableButtons(); });
    connect(keys_, &QTableWidget::cellChanged, this, &AnimationWindow::gapEdited);

    auto* layout = new QGridLayout(this);
    layout->addWidget(keys_, 0, 0, 1, 4);
    const QPushButton* rows[][4] = {{addKey_, deleteKey_, load_, save_},
                                    {start_, stop_, convert_, compression_}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            layout->addWidget(const_cast<QPushButton*>(rows[r][c]), r + 1, c);
    layout->addWidget(settings_, 3, 0, 1, 4);
}

QPushButton* AnimationWindow::button(const char* name, const QString& label,
                                     void (AnimationWindow::*run)()) {
    auto* pushButton = new QPushButton(label, this);
    pushButton->setObjectName(QString::fromLatin1(name));
    connect(pushButton, &QPushButton::clicked, this, [this, run] { (this->*run)(); });
    return pushButton;
}

Folder* AnimationWindow::animation() {
    return context_.app.workspace().animationFolder();
}

RunningAnimation* AnimationWindow::running() const {
    return dynamic_cast<RunningAnimation*>(context_.app.animation());
}

std::vector<FractalRecord*> AnimationWindow::keys() {
    Folder* folder = animation();
    return folder != nullptr ? animationKeys(*folder) : std::vector<FractalRecord*>{};
}

void AnimationWindow::refresh() {
    followFolder();
    showKeys();
    settings_->show(data_);
    enableButtons();
}

// Another animation folder became the program's: its settings start from the defaults.
void AnimationWindow::followFolder() {
    const Folder* folder = animation();
    if (folder == dataFolder_)
        return;
    dataFolder_ = folder;
    data_ = AnimData{};
    const std::vector<FractalRecord*> list = keys();
    if (list.empty())
        return;
    data_.name = fitAnimText(list.front()->name, kAnimNameLength);
    data_.width = list.back()->width > 0 ? list.back()->width : data_.width;
    data_.height = list.back()->height > 0 ? list.back()->height : data_.height;
}

void AnimationWindow::showKeys() {
    const QSignalBlocker blocker(keys_);
    const std::vector<FractalRecord*> list = keys();
    std::vector<double> gaps;
    for (const FractalRecord* key : list)
        gaps.push_back(key->numFrames);
    const KeyTimeline timeline(gaps);
    const int selected = keys_->currentRow();
    keys_->setRowCount(static_cast<int>(list.size()));
    for (std::size_t i = 0; i < list.size(); ++i) {
        const int row = static_cast<int>(i);
        keys_->setItem(row, kNameColumn, cell(toQString(list[i]->name), false));
        keys_->setItem(row, kGapColumn, cell(QString::number(list[i]->numFrames, 'g', 10), i > 0));
        const std::int64_t frame =
            i < timeline.frameNumbers().size() ? timeline.frameNumbers()[i] : 0;
        keys_->setItem(row, kFrameColumn, cell(QString::number(frame), false));
    }
    if (selected >= 0 && selected < keys_->rowCount())
        keys_->selectRow(selected);
}

void AnimationWindow::enableButtons() {
    const RunningAnimation* animationRun = running();
    const bool busy = animationRun != nullptr && animationRun->isRunning();
    const bool hasFolder = animation() != nullptr;
    const std::size_t keyCount = keys().size();
    addKey_->setEnabled(!busy && hasFolder && context_.app.currentFractal() != nullptr);
    deleteKey_->setEnabled(!busy && keyCount > 0);
    start_->setEnabled(!busy && animationRun != nullptr && keyCount >= 2);
    stop_->setEnabled(busy);
    convert_->setEnabled(!busy && keyCount >= 2);
    load_->setEnabled(!busy);
    save_->setEnabled(!busy && keyCount > 0);
    compression_->setEnabled(!busy);
    settings_->setEnabled(!busy);
    if (!busy)
        watch_->stop();
}

void AnimationWindow::gapEdited(int row, int column) {
    const std::vector<FractalRecord*> list = keys();
    if (column != kGapColumn || row < 0 || static_cast<std::size_t>(row) >= list.size())
        return;
    FractalRecord& key = *list[static_cast<std::size_t>(row)];
    const std::optional<double> gap = parseGap(keys_->item(row, column)->text());
    if (!gap || !acceptableGap(*gap)) {
        context_.app.frontend().messageBox(kVerifyingKeyCaption, kShortGapText, MessageButtons::Ok,
                                           MessageIcon::Warning);
    } else {
        key.numFrames = *gap;
    }
    showKeys();
}

void AnimationWindow::settingsEdited(const AnimData& data) {
    const std::filesystem::path output = data_.outputDirectory;
    data_ = data;
    data_.outputDirectory = output;
}

void AnimationWindow::changedKeys() {
    context_.main.refreshAll();
    refresh();
}

// The current fractal becomes a key behind the selected one (or the last).
void AnimationWindow::addKey() {
    Folder* folder = animation();
    const FractalRecord* current = context_.app.currentFractal();
    if (folder == nullptr || current == nullptr)
        return;
    const int selected = keys_->currentRow();
    const std::size_t position =
        selected >= 0 ? static_cast<std::size_t>(selected) + 1 : keys().size();
    if (vortimax::addKey(*folder, data_, *current, position, context_.app.frontend(),
                         context_.app.creationContext()) != nullptr)
        keys_->setCurrentCell(static_cast<int>(position), kNameColumn);
    changedKeys();
}

void AnimationWindow::deleteKey() {
    const std::vector<FractalRecord*> list = keys();
    const int selected = keys_->currentRow();
    if (selected < 0 || static_cast<std::size_t>(selected) >= list.size())
        return;
    Application& app = context_.app;
    vortimax::deleteKey(app.workspace(), *list[static_cast<std::size_t>(selected)],
                        app.settings().confirm(Confirmation::DelAnm), app.frontend());
    changedKeys();
}

void AnimationWindow::start() {
    RunningAnimation* animationRun = running();
    Folder* folder = animation();
    if (animationRun == nullptr || folder == nullptr)
        return;
    bool started = false;
    {
        std::lock_guard lock(context_.app.animationLock());
        started = animationRun->start(*folder, data_);
    }
    if (started) {
        data_.outputDirectory = animationRun->data().outputDirectory;
        watch_->start();
    }
    changedKeys();
}

// Ends the running animation: its frame fractal is closed and deleted, the output closed.
void AnimationWindow::stop() {
    RunningAnimation* animationRun = running();
    Application& app = context_.app;
    if (animationRun == nullptr || !animationRun->isRunning())
        return;
    FractalRecord* frame = animationRun->frameFractal();
    {
        std::lock_guard lock(app.animationLock());
        animationRun->abort();
    }
    if (frame != nullptr) {
        closeView(*frame, false, app.views());
        app.workspace().deleteFractal(*frame, false);
    }
    changedKeys();
}

void AnimationWindow::convert() {
    Application& app = context_.app;
    const std::vector<FractalRecord*> list = keys();
    if (list.size() < 2)
        return;
    convertAnimation(app.workspace(), app.firstDirectory(app.settings().paths.anims),
                     constKeys(list), data_, app.palettes(), app.frontend(), app.creationContext());
    changedKeys();
}

void AnimationWindow::load() {
    Application& app = context_.app;
    const auto chosen = app.frontend().requestOpenFile(
        kLoadingAnimationTitle, app.firstDirectory(app.settings().paths.anims), {});
    if (!chosen)
        return;
    auto loaded =
        loadAnimationWithProgress(*chosen, app.palettes(), app.frontend(), app.creationContext());
    if (!loaded)
        return;
    const AnimData data = loaded->data;
    Folder& folder = installAnimation(app.workspace(), std::move(*loaded), *chosen);
    app.workspace().setAnimationFolder(&folder);
    dataFolder_ = &folder;
    data_ = data;
    changedKeys();
}

void AnimationWindow::save() {
    Application& app = context_.app;
    const Folder* folder = animation();
    if (folder == nullptr)
        return;
    saveAnimationFile(*folder, data_, app.firstDirectory(app.settings().paths.anims),
                      app.palettes(), app.frontend());
}

// The chosen format also becomes the animation's save mode.
void AnimationWindow::compression() {
    const auto chosen = VideoCompressionDialog::ask(sessionVideoSettings(), this);
    if (!chosen)
        return;
    sessionVideoSettings() = *chosen;
    data_.saveMode = chosen->container == VideoContainer::Mp4 ? kSaveModeMp4 : kSaveModeAvi;
    settings_->show(data_);
}

} // namespace vortimax::ui
