#include "ui/tool_windows/size_window.h"

#include "app/application.h"
#include "model/fractal_view.h"
#include "ui/main_window.h"

#include <QGridLayout>
#include <QPushButton>

namespace vortimax::ui {

namespace {

constexpr int kSizeWindowId = 680;
constexpr int kColumns = 2;

constexpr SizeWindow::Size kSizes[] = {
    {320, 200},   {320, 256}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024},
    {1600, 1200}, {480, 360}, {160, 120}, {320, 240}, {1280, 960},
};

} // namespace

std::span<const SizeWindow::Size> SizeWindow::sizes() {
    return kSizes;
}

SizeWindow::SizeWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kSizeWindowId, parent) {
    setWindowTitle(tr("Size"));
    auto* layout = new QGridLayout(this);
    for (const Size& size : kSizes) {
        auto* button =
            new QPushButton(QStringLiteral("%1 x %2").arg(size.width).arg(size.height), this);
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, size] { choose(size); });
        const int position = static_cast<int>(buttons_.size());
        layout->addWidget(button, position / kColumns, position % kColumns);
        buttons_.push_back(button);
    }
}

// The size of the open current fractal, or else the size new fractals get.
void SizeWindow::refresh() {
    const FractalRecord* record = context_.app.currentFractal();
    const bool open = record != nullptr && record->view != nullptr;
    const int width = open ? record->width : context_.app.views().defaultWidth;
    const int height = open ? record->height : context_.app.views().defaultHeight;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setChecked(kSizes[i].width == width && kSizes[i].height == height);
}

void SizeWindow::choose(const Size& size) {
    Application& app = context_.app;
    FractalRecord* record = app.currentFractal();
    if (record != nullptr && record->view != nullptr) {
        resizeView(*record, size.width, size.height, false, app.views());
        app.notify(ApplicationChange::FractalWindow);
    } else {
        app.views().defaultWidth = size.width;
        app.views().defaultHeight = size.height;
    }
    context_.main.refreshAll();
}

} // namespace vortimax::ui
