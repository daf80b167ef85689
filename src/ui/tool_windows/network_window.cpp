#include "ui/tool_windows/network_window.h"

#include "app/application.h"
#include "ui/qt_text.h"

#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

namespace vortimax::ui {

namespace {

constexpr int kNetworkWindowId = 710;
constexpr int kFollowMs = 500;

enum Column { kName, kAddress, kSpeed, kRowsOut, kColumns };

// Which member a row shows: two slaves on one machine share name and address, so the
// place among its namesakes tells them apart.
struct MemberKey {
    std::string name;
    net::Address address;
    int namesake;
    bool operator==(const MemberKey&) const = default;
};

MemberKey keyOf(const std::vector<net::MemberSummary>& members, std::size_t index) {
    int namesake = 0;
    for (std::size_t i = 0; i < index; ++i)
        if (members[i].name == members[index].name && members[i].address == members[index].address)
            ++namesake;
    return {members[index].name, members[index].address, namesake};
}

std::optional<std::size_t> findKey(const std::vector<net::MemberSummary>& members,
                                   const MemberKey& key) {
    for (std::size_t i = 0; i < members.size(); ++i)
        if (keyOf(members, i) == key)
            return i;
    return std::nullopt;
}

void showRow(QTreeWidgetItem& item, const net::MemberSummary& member) {
    item.setText(kName, toQString(member.name));
    item.setText(kAddress, toQString(net::addressText(member.address)));
    item.setText(kSpeed, toQString(speedText(member.info.benchmarkMs)));
    item.setText(kRowsOut, QString::number(member.pending));
}

} // namespace

NetworkWindow::NetworkWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kNetworkWindowId, parent), heading_(new QLabel(this)),
      list_(new QTreeWidget(this)), follow_(new QTimer(this)) {
    setWindowTitle(tr("Network"));
    heading_->setObjectName(QStringLiteral("heading"));
    list_->setObjectName(QStringLiteral("members"));
    list_->setColumnCount(kColumns);
    list_->setHeaderLabels({tr("Member"), tr("Address"), tr("Speed"), tr("Rows out")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { showDetails(); });

    auto* form = new QFormLayout;
    for (const MemberDetail& detail : memberDetails(nullptr)) {
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("detail%1").arg(details_.size()));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(toQString(detail.label), value);
        details_.push_back(value);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(list_, 1);
    layout->addLayout(form);
    resize(420, 460);

    connect(follow_, &QTimer::timeout, this, [this] { refresh(); });
    follow_->start(kFollowMs);
}

void NetworkWindow::refresh() {
    const NetworkControl* network = context_.app.network();
    NetworkSummary summary = network != nullptr ? network->summary() : NetworkSummary{};
    heading_->setText(toQString(networkHeading(summary)));
    showMembers(std::move(summary.members));
}

// The rows are updated in place; the selection stays with its member while that member
// stays, wherever it moves in the list.
void NetworkWindow::showMembers(std::vector<net::MemberSummary> members) {
    std::optional<MemberKey> selected;
    if (QTreeWidgetItem* item = list_->currentItem(); item != nullptr && item->isSelected()) {
        const auto index = static_cast<std::size_t>(list_->indexOfTopLevelItem(item));
        if (index < members_.size())
            selected = keyOf(members_, index);
    }
    members_ = std::move(members);
    const QSignalBlocker quiet(list_);
    while (list_->topLevelItemCount() > static_cast<int>(members_.size()))
        delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
    while (list_->topLevelItemCount() < static_cast<int>(members_.size()))
        list_->addTopLevelItem(new QTreeWidgetItem);
    for (std::size_t i = 0; i < members_.size(); ++i)
        showRow(*list_->topLevelItem(static_cast<int>(i)), members_[i]);
    list_->clearSelection();
    list_->setCurrentItem(nullptr);
    if (const auto index = selected ? findKey(members_, *selected) : std::nullopt)
        list_->setCurrentItem(list_->topLevelItem(static_cast<int>(*index)));
    showDetails();
}

void NetworkWindow::showDetails() {
    const net::MemberSummary* member = nullptr;
    if (QTreeWidgetItem* item = list_->currentItem(); item != nullptr && item->isSelected()) {
        const auto index = static_cast<std::size_t>(list_->indexOfTopLevelItem(item));
        if (index < members_.size())
            member = &members_[index];
    }
    const std::vector<MemberDetail> details = memberDetails(member);
    for (std::size_t i = 0; i < details.size() && i < details_.size(); ++i)
        details_[i]->setText(toQString(details[i].value));
}

} // namespace vortimax::ui
