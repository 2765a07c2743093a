#include "contacts/transfer/contact_transfer_flows.h"

#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "contacts/transfer/contact_export.h"
#include "contacts/transfer/dlg_import_contacts.h"
#include "core/client_context.h"
#include "os/prompt/prompter.h"
#include "os/services/shell.h"
#include "os/sys/file_ops.h"

namespace contacts {

ContactTransferFlows::ContactTransferFlows(ContactTrees& trees, std::function<os::Window*()> panel)
    : trees_(trees), panel_(std::move(panel)) {}

ContactTransferFlows::~ContactTransferFlows() = default;

CIMTree* ContactTransferFlows::Target(bool phoneBook) const {
    const std::string_view kind = phoneBook ? kPhoneBookTop : kRosterTop;
    for (CIMTree* tree : trees_.trees()) {
        if (tree->topKind == kind) return tree;
    }
    return nullptr;
}

std::string ContactTransferFlows::TitleOf(std::string_view topKind) const {
    for (CIMTree* tree : trees_.trees()) {
        if (tree->topKind == topKind) return tree->treeName();
    }
    return {};
}

CDlgImportContacts* ContactTransferFlows::importDialog() const {
    if (importDialog_ == nullptr || importDialog_->hwnd() == os::HWND{}) return nullptr;
    return importDialog_.get();
}

void ContactTransferFlows::ShowExport(bool phoneBook) {
    CIMTree* tree = Target(phoneBook);
    if (tree == nullptr) return;
    core::ClientContext& context = trees_.context();
    const os::Window* panel = panel_ ? panel_() : nullptr;
    const os::HWND owner = panel != nullptr ? panel->hwnd() : os::HWND{};
    os::FileDialogRequest request;
    request.owner = owner;
    request.title = "导出" + tree->treeName() + "为";
    request.filter = "CSV文件(*.CSV)|*.csv||";
    request.defaultName = kExportDefaultName;
    request.defaultExtension = "csv";
    const std::optional<std::string> path = context.prompter.SaveFile(request);
    if (!path) return;
    if (!os::WriteFileAtomically(*path, ExportTreeText(*tree))) {
        context.prompter.MessageBox(kExportFailed, os::kDefaultCaption, os::MB_OK, owner);
        return;
    }
    context.prompter.MessageBox(kExportDone, os::kDefaultCaption, os::MB_OK, owner);
    context.shell.ShellExecute("open", *path);
}

void ContactTransferFlows::ShowImport(bool phoneBook) {
    CIMTree* tree = Target(phoneBook);
    if (tree == nullptr || importDialog() != nullptr) return;
    core::ClientContext& context = trees_.context();
    const os::Window* panel = panel_ ? panel_() : nullptr;
    const os::HWND owner = panel != nullptr ? panel->hwnd() : os::HWND{};
    os::FileDialogRequest request;
    request.owner = owner;
    request.filter = "CSV文件(*.CSV)|*.csv;*.txt|EXCEL电子表格(*.xls)|*.xls|所有文件(*.*)|*.*||";
    const std::optional<std::string> path = context.prompter.OpenFile(request);
    if (!path) return;
    importDialog_.reset();
    auto dialog = std::make_unique<CDlgImportContacts>(context, *tree, TitleOf(kRosterTop),
                                                       TitleOf(kPhoneBookTop));
    if (!dialog->Create(owner, *path)) return;
    importDialog_ = std::move(dialog);
}

}  // namespace contacts
