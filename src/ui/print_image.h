#pragma once

namespace vortimax::ui {

class MainWindow;

// Prints the current fractal's finished image on one page (document "Printing Fractal
// NAME"), scaled to fit inside the margins and centred, after the system print dialog.
void printCurrentFractal(MainWindow& main);
// Page Setup: paper and margins, kept for the next Print.
void pageSetup(MainWindow& main);

} // namespace vortimax::ui
