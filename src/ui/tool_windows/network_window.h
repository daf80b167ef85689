#pragma once

#include "app/network_summary.h"
#include "ui/tool_window.h"

#include <vector>

class QLabel;
class QTimer;
class QTreeWidget;

namespace vortimax::ui {

// "Network": what the program is in the network (master, slave or neither), the members
// it serves as master and the details of the member selected in the list. It follows the
// network by itself while it is open, since members come and go on the network's threads.
class NetworkWindow final : public ToolWindow {
public:
    NetworkWindow(UiContext& context, QWidget* parent);
    void refresh() override;

private:
    void showMembers(std::vector<net::MemberSummary> members);
    void showDetails();

    QLabel* heading_;
    QTreeWidget* list_;
    std::vector<QLabel*> details_;
    QTimer* follow_;
    std::vector<net::MemberSummary> members_;
};

} // namespace vortimax::ui
