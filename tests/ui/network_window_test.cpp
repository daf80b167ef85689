#include "app/network_subsystem.h"
#include "network/row_calculator.h"
#include "network/slave.h"
#include "ui/qt_text.h"
#include "ui_fixture.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <unistd.h>

namespace vortimax {
namespace {

constexpr int kNewMandel = 29018;
constexpr int kNetworkMode = 29122;
constexpr int kRecalculate = 29184;
constexpr int kServers = 29118;
constexpr int kStartMaster = 29145;
constexpr int kConnect = 29146;
constexpr int kDisconnect = 29147;
constexpr int kStopMaster = 29148;

class NetworkWindowTest : public test::UiFixture {
protected:
    // Which of Start Master, Connect, Stop Master and Disconnect the menus offer.
    std::string offered() const {
        main->refreshMenus();
        std::string shown;
        for (int id : {kStartMaster, kConnect, kStopMaster, kDisconnect})
            shown += main->action(id)->isEnabled() ? '1' : '0';
        return shown;
    }
    ui::ToolWindow* openWindow() {
        main->action(kServers)->trigger();
        return main->findToolWindow("Network");
    }
    static QString heading(QWidget* window) {
        return window->findChild<QLabel*>(QStringLiteral("heading"))->text();
    }
    static QTreeWidget* list(QWidget* window) {
        return window->findChild<QTreeWidget*>(QStringLiteral("members"));
    }
    // The value shown beside the detail with this label.
    static QString detail(QWidget* window, std::string_view label) {
        const std::vector<MemberDetail> rows = memberDetails(nullptr);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].label == label)
                return window->findChild<QLabel*>(QStringLiteral("detail%1").arg(i))->text();
        return QStringLiteral("(no such detail)");
    }
    static net::RowCalculatorFactory mandelOnly() {
        return [](const FractalRecord& record) {
            return net::makeRowCalculator(
                record, [](std::string_view) { return std::optional<FormulaCode>(); });
        };
    }
    // Answers the next address dialog as soon as it shows (the dialog runs its own event
    // loop); the timer returned goes with the test when no dialog comes.
    QTimer* answerDialog(std::function<void(QInputDialog&)> answer) {
        auto* timer = new QTimer(main.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
            if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                timer->stop();
                answer(*dialog);
            }
        });
        timer->start();
        return timer;
    }
    static QString hostName() {
        char name[256] = {};
        gethostname(name, sizeof name - 1);
        return QString::fromLatin1(name).left(63);
    }
};

// The program as master: a slave joins, the window lists it with its machine, a fractal
// in network mode is calculated by it, and Stop Master sends it away.
TEST_F(NetworkWindowTest, MasterShowsItsSlaveAndItsWork) {
    NetworkSubsystem network(*app, net::MasterOptions{0, "127.0.0.1"});
    EXPECT_EQ(offered(), "1100");
    ui::ToolWindow* window = openWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(heading(window), QStringLiteral("- undefined -"));

    main->action(kStartMaster)->trigger();
    ASSERT_TRUE(network.isMaster());
    EXPECT_EQ(offered(), "0010");
    const QString port = QString::number(network.master().port());
    EXPECT_TRUE(test::processUntil([&] {
        return heading(window) == QStringLiteral("Acting as Master at 127.0.0.1:") + port;
    }));
    EXPECT_EQ(list(window)->topLevelItemCount(), 0);
    EXPECT_EQ(detail(window, "Screen"), QStringLiteral("- - -"));

    net::Slave slave(mandelOnly(), [](const std::string&) {});
    ASSERT_TRUE(slave.connect("127.0.0.1", network.master().port(), {1024, 768, 32}));
    // The window follows by itself: nothing but the event loop runs here.
    ASSERT_TRUE(test::processUntil([&] {
        return list(window)->topLevelItemCount() == 1 &&
               list(window)->topLevelItem(0)->text(0) == hostName();
    }));
    EXPECT_EQ(list(window)->topLevelItem(0)->text(1), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(detail(window, "Screen"), QStringLiteral("- - -")); // nothing selected yet
    list(window)->setCurrentItem(list(window)->topLevelItem(0));
    EXPECT_EQ(detail(window, "Computer"), hostName());
    EXPECT_EQ(detail(window, "Screen"), QStringLiteral("1024x768x32"));
    EXPECT_EQ(detail(window, "Address"), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(detail(window, "").endsWith(QStringLiteral(" MB total")));
    EXPECT_EQ(detail(window, "Rows done"), QStringLiteral("0"));

    // The slave calculates a fractal in network mode; its image is the local one.
    FractalRecord& record = createFromMenu(kNewMandel);
    const std::vector<float> local = record.view->buffers().values;
    main->action(kNetworkMode)->trigger();
    ASSERT_EQ(record.networkMode, 1);
    EXPECT_TRUE(main->action(kNetworkMode)->isChecked());
    ASSERT_TRUE(test::processUntil(
        [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; }));
    main->action(kRecalculate)->trigger();
    ASSERT_TRUE(test::processUntil([&] {
        return record.view->finished() && record.view->commandWord() == calc::kIdle &&
               detail(window, "Rows done") != QStringLiteral("0");
    }));
    EXPECT_EQ(record.view->buffers().values, local);
    // The selection stays with the member while the window follows it.
    EXPECT_EQ(detail(window, "Screen"), QStringLiteral("1024x768x32"));

    main->action(kStopMaster)->trigger();
    EXPECT_FALSE(network.isMaster());
    EXPECT_TRUE(slave.waitUntilDisconnected({}));
    EXPECT_TRUE(slave.endedGracefully());
    EXPECT_EQ(offered(), "1100");
    EXPECT_TRUE(test::processUntil([&] {
        return heading(window) == QStringLiteral("- undefined -") &&
               list(window)->topLevelItemCount() == 0;
    }));
    EXPECT_EQ(detail(window, "Screen"), QStringLiteral("- - -"));
}

// The program as slave: the address is asked in the connect dialog, the window names the
// master, and only Disconnect is offered until the program leaves.
TEST_F(NetworkWindowTest, SlaveConnectsThroughTheDialog) {
    net::Master master([](const std::string&) {});
    ASSERT_TRUE(master.start(net::MasterOptions{0, "127.0.0.1"}));
    NetworkSubsystem network(*app);
    EXPECT_EQ(offered(), "1100");
    const QString address = QStringLiteral("127.0.0.1:%1").arg(master.port());
    QString title, label, initial;
    answerDialog([&](QInputDialog& dialog) {
        title = dialog.windowTitle();
        label = dialog.labelText();
        initial = dialog.textValue();
        dialog.setTextValue(address);
        dialog.accept();
    });
    main->action(kConnect)->trigger();
    EXPECT_EQ(title, QStringLiteral("Connecting to master"));
    EXPECT_EQ(label, QStringLiteral("Please specify the IP address\nof the master Vortimax"));
    EXPECT_EQ(initial, QStringLiteral("0.0.0.0"));
    ASSERT_TRUE(network.isConnectedToMaster());
    EXPECT_EQ(offered(), "0001");
    ui::ToolWindow* window = openWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(heading(window), QStringLiteral("Connected to ") + address);
    EXPECT_EQ(list(window)->topLevelItemCount(), 0);
    ASSERT_TRUE(master.waitForMembers(1, {}));

    // Connected already, the command (greyed, but reached directly here) refuses before
    // asking for an address.
    const std::size_t boxes = scripted.messageBoxes().size();
    bool asked = false;
    QTimer* guard = answerDialog([&](QInputDialog& dialog) {
        asked = true;
        dialog.reject();
    });
    main->runCommand(kConnect);
    delete guard;
    EXPECT_FALSE(asked);
    ASSERT_EQ(scripted.messageBoxes().size(), boxes + 1);
    EXPECT_EQ(scripted.messageBoxes().back().text, "You are already connected to a master program");

    main->action(kDisconnect)->trigger();
    EXPECT_FALSE(network.isConnectedToMaster());
    EXPECT_EQ(offered(), "1100");
    EXPECT_TRUE(
        test::processUntil([&] { return heading(window) == QStringLiteral("- undefined -"); }));

    // When the master ends the connection, the menus follow without being opened.
    network.connectToMaster(ui::toStdString(address));
    ASSERT_TRUE(network.isConnectedToMaster());
    EXPECT_EQ(offered(), "0001");
    ASSERT_TRUE(master.waitForMembers(1, {}));
    master.stop();
    EXPECT_TRUE(test::processUntil([&] {
        return main->action(kStartMaster)->isEnabled() && main->action(kConnect)->isEnabled() &&
               !main->action(kDisconnect)->isEnabled();
    }));
    EXPECT_EQ(scripted.messageBoxes().size(), boxes + 1); // a goodbye is no failure
}

} // namespace
} // namespace vortimax
