#include "ui/print_image.h"

#include "model/fractal_view.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

namespace vortimax::ui {

namespace {

constexpr std::string_view kPrintingCaption = "Printing";
constexpr std::string_view kNothingToPrint =
    "Nothing to print.\n\nSelected fractal is not calculated...";
constexpr std::string_view kPrintingImageCaption = "Printing image";
constexpr std::string_view kNoJob = "Unable to allocate print job.\nPrinting not possible...";
constexpr std::string_view kNoPage = "Unable to create a print page.\nPrinting not possible...";
constexpr std::string_view kPageNotFinished =
    "Unable to finish a print page.\nPrinting not possible...";
constexpr std::string_view kJobNotFinished =
    "Unable to finish print job.\nPrinting not possible...";

// The printer keeps its page settings between Page Setup and Print for the whole run.
QPrinter& printer() {
    static std::unique_ptr<QPrinter> shared = std::make_unique<QPrinter>();
    return *shared;
}

void warn(MainWindow& main, std::string_view caption, std::string_view text) {
    QMessageBox::warning(&main, toQString(caption), toQString(text));
}

} // namespace

void printCurrentFractal(MainWindow& main) {
    FractalRecord* record = main.app().currentFractal();
    FractalWindow* window = record != nullptr ? main.fractalWindow(*record) : nullptr;
    if (window == nullptr || !record->view->finished()) {
        warn(main, kPrintingCaption, kNothingToPrint);
        return;
    }
    QPrinter& target = printer();
    QPrintDialog dialog(&target, &main);
    if (dialog.exec() != QDialog::Accepted)
        return;
    target.setDocName(QStringLiteral("Printing Fractal %1").arg(toQString(record->name)));
    const QImage image = window->canvas().currentImage();
    QPainter painter;
    if (!painter.begin(&target)) {
        warn(main, kPrintingImageCaption, kNoJob);
        return;
    }
    const QRect page = painter.viewport();
    if (!page.isValid()) {
        warn(main, kPrintingImageCaption, kNoPage);
        painter.end();
        return;
    }
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    const QPoint origin((page.width() - size.width()) / 2, (page.height() - size.height()) / 2);
    painter.drawImage(QRect(origin, size), image);
    if (!painter.end())
        warn(main, kPrintingImageCaption,
             target.printerState() == QPrinter::Error ? kJobNotFinished : kPageNotFinished);
}

void pageSetup(MainWindow& main) {
    QPageSetupDialog dialog(&printer(), &main);
    dialog.exec();
}

} // namespace vortimax::ui
