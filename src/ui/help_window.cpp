#include "ui/help_window.h"

#include "ui/qt_text.h"

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace vortimax::ui {

namespace {

constexpr int kMenuContext = 800;

constexpr HelpPage kPages[] = {
    {100, "Vortimax",
     "<h2>Vortimax</h2><p>Every fractal lives in a window of its own inside the main window "
     "and is calculated in the background. Create one from <b>File / Fractal</b>, draw a box "
     "with the left mouse button and choose <b>Boxzoom in</b> to zoom, drag the image with the "
     "right mouse button to move it.</p><p>Folders hold fractals; they are parameter files "
     "(<i>*.par</i>) on disk. The fractal tree shows them all.</p>"},
    {370, "Escape-time fractals",
     "<h2>Julia and Mandel sets</h2><p>Each point is iterated until it escapes beyond the "
     "bailout or the maximum number of iterations is reached. The subtype chooses one of 25 "
     "iteration formulas; the 24-bit types colour by continuous potential, distance or "
     "phase.</p><p>The Formula type iterates the formula you choose from a formula file.</p>"},
    {310, "Bifurcation",
     "<h2>Bifurcation</h2><p>Shows the long-run values of a population "
     "model for every growth rate along the horizontal axis.</p>"},
    {440, "Dynamic systems",
     "<h2>Dynamic systems</h2><p>Draws the orbits of a dynamic system "
     "(strange attractors) point by point.</p>"},
    {470, "Plasma",
     "<h2>Plasma</h2><p>A random cloud made by repeated midpoint "
     "displacement.</p>"},
    {500, "Lyapunov space",
     "<h2>Lyapunov space</h2><p>Colours each point by the Lyapunov "
     "exponent of the sequence of growth rates a and b.</p>"},
    {530, "IFS",
     "<h2>Iterated function systems</h2><p>Draws the attractor of a set of affine "
     "maps chosen at random.</p>"},
    {560, "L-systems",
     "<h2>L-systems</h2><p>Draws the curve a rewriting system describes, "
     "with a turtle.</p>"},
    {580, "Compound fractals",
     "<h2>Compound fractals</h2><p>Merges the images of up to ten "
     "layer fractals through three formulas.</p>"},
    {kMenuContext, "Menus",
     "<h2>Menus</h2><ul><li><b>File</b>: folders, fractals, palettes and images.</li>"
     "<li><b>Edit</b>: undo, redo, selection and zoom.</li><li><b>Fractal</b>: new fractals, "
     "type conversion, image filters, palette mode, 3D, the parameter windows.</li>"
     "<li><b>Windows</b>: the tool windows and toolbars.</li><li><b>Settings</b>: "
     "confirmations, font, configuration, network.</li></ul>"},
};

QPointer<QDialog> window;
QPointer<QTextBrowser> browser;

} // namespace

const HelpPage& helpPage(int context) {
    auto find = [](int wanted) {
        return std::find_if(std::begin(kPages), std::end(kPages),
                            [wanted](const HelpPage& page) { return page.context == wanted; });
    };
    auto it = find(context);
    return it != std::end(kPages) ? *it : *find(kMenuContext);
}

void HelpWindow::show(QWidget* parent, int context) {
    if (!window) {
        window = new QDialog(parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(480, 360);
        auto* layout = new QVBoxLayout(window);
        browser = new QTextBrowser(window);
        layout->addWidget(browser);
    }
    const HelpPage& page = helpPage(context);
    window->setWindowTitle(QObject::tr("Vortimax Help - %1").arg(toQString(page.title)));
    browser->setHtml(toQString(page.html));
    window->show();
    window->raise();
}

} // namespace vortimax::ui
