#include "ui/qt_frontend.h"

#include "ui/qt_text.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QMetaObject>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <exception>
#include <mutex>
#include <thread>

namespace vortimax::ui {

namespace {

constexpr int kProgressPollMs = 50;
constexpr int kProgressSteps = 1000;

bool onInterfaceThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A box closed without a button (Escape, the window's close button) counts as its
// "no" or "cancel" answer where it has one.
MessageAnswer answerOf(int button, MessageButtons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        break;
    }
    if (offersAnswer(buttons, MessageAnswer::Cancel))
        return MessageAnswer::Cancel;
    return offersAnswer(buttons, MessageAnswer::No) ? MessageAnswer::No : MessageAnswer::Ok;
}

QString filterText(const std::vector<std::string>& filters) {
    QStringList parts;
    for (const std::string& filter : filters)
        parts << toQString(filter);
    if (parts.isEmpty())
        return {};
    return parts.join(QLatin1Char(' ')) + QStringLiteral(";;*");
}

std::optional<std::filesystem::path> pathOf(const QString& chosen) {
    if (chosen.isEmpty())
        return std::nullopt;
    return toPath(chosen);
}

} // namespace

void runOnInterfaceThread(const std::function<void()>& work) {
    if (onInterfaceThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
}

MessageAnswer QtFrontend::messageBox(std::string_view caption, std::string_view text,
                                     MessageButtons buttons, MessageIcon icon) {
    MessageAnswer answer = defaultAnswer(buttons);
    runOnInterfaceThread([&] {
        QMessageBox box(iconOf(icon), toQString(caption), toQString(text), buttonsOf(buttons),
                        parent_.data());
        answer = answerOf(box.exec(), buttons);
    });
    return answer;
}

void QtFrontend::addMessage(std::string_view) {
    // The application keeps message lines (see class comment).
}

void QtFrontend::setStatus(std::string_view, int) {
    // The application keeps the status text (see class comment).
}

// The worker runs on a thread of its own while a modal progress window shows its reports;
// Cancel sets the abort flag, and the window stays until the worker has ended.
void QtFrontend::runWithProgress(std::string_view title, std::atomic<bool>& abortFlag,
                                 const ProgressWorker& worker) {
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    Progress progress(abortFlag);
    std::thread thread([&] {
        try {
            worker(progress);
        } catch (...) {
            failure = std::current_exception();
        }
        done.store(true);
    });
    runOnInterfaceThread([&] {
        QProgressDialog dialog(toQString(title), QObject::tr("Abort"), 0, kProgressSteps,
                               parent_.data());
        dialog.setWindowTitle(toQString(title));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(300);
        dialog.setAutoReset(false);
        dialog.setAutoClose(false);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&dialog, &QProgressDialog::canceled, [&] { abortFlag.store(true); });
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done.load()) {
                loop.quit();
                return;
            }
            dialog.setLabelText(toQString(progress.text()));
            dialog.setValue(static_cast<int>(progress.fraction() * kProgressSteps));
        });
        poll.start(kProgressPollMs);
        loop.exec();
    });
    thread.join();
    if (failure)
        std::rethrow_exception(failure);
}

std::optional<std::filesystem::path>
QtFrontend::requestOpenFile(std::string_view title, const std::filesystem::path& startDirectory,
                            const std::vector<std::string>& filters) {
    std::optional<std::filesystem::path> chosen;
    runOnInterfaceThread([&] {
        chosen = pathOf(QFileDialog::getOpenFileName(
            parent_.data(), toQString(title), fromPath(startDirectory), filterText(filters)));
    });
    return chosen;
}

std::optional<std::filesystem::path>
QtFrontend::requestSaveFile(std::string_view title, const std::filesystem::path& startDirectory,
                            const std::vector<std::string>& filters) {
    std::optional<std::filesystem::path> chosen;
    runOnInterfaceThread([&] {
        chosen = pathOf(QFileDialog::getSaveFileName(
            parent_.data(), toQString(title), fromPath(startDirectory), filterText(filters)));
    });
    return chosen;
}

std::optional<std::filesystem::path>
QtFrontend::requestDirectory(std::string_view title, const std::filesystem::path& startDirectory) {
    std::optional<std::filesystem::path> chosen;
    runOnInterfaceThread([&] {
        chosen = pathOf(QFileDialog::getExistingDirectory(parent_.data(), toQString(title),
                                                          fromPath(startDirectory)));
    });
    return chosen;
}

std::optional<QFont> QtFrontend::requestFont(const QFont& current) {
    if (fontRequester_)
        return fontRequester_(current);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, current, parent_.data());
    return ok ? std::optional<QFont>(chosen) : std::nullopt;
}

// Workers report changed pixels from their own threads; the window repaints later on the
// interface thread (a view closed meanwhile is simply not found).
void QtFrontend::viewChanged(int viewId, const Rect& area) {
    if (!repaintView_)
        return;
    RepaintView repaint = repaintView_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [repaint, viewId, area] { repaint(viewId, area); },
        Qt::QueuedConnection);
}

} // namespace vortimax::ui
