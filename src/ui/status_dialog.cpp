#include "ui/status_dialog.h"

#include "ui/main_window.h"
#include "ui/qt_text.h"

#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace vortimax::ui {

namespace {

constexpr int kRefreshMs = 200;

class StatusWindow final : public QDialog {
public:
    explicit StatusWindow(MainWindow& main) : QDialog(&main), main_(main) {
        setWindowTitle(tr("Info"));
        setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QFormLayout(this);
        layout->addRow(tr("Time:"), elapsed_);
        layout->addRow(tr("Progress:"), percent_);
        connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
        timer_.start(kRefreshMs);
        refresh();
    }

private:
    void refresh() {
        const StatusFields& fields = main_.app().statusFields();
        elapsed_->setText(toQString(fields.elapsed));
        percent_->setText(toQString(fields.percent));
    }

    MainWindow& main_;
    QLabel* elapsed_ = new QLabel(this);
    QLabel* percent_ = new QLabel(this);
    QTimer timer_;
};

QPointer<StatusWindow> openWindow;

} // namespace

void StatusDialog::show(MainWindow& main) {
    if (!openWindow)
        openWindow = new StatusWindow(main);
    openWindow->show();
    openWindow->raise();
}

} // namespace vortimax::ui
