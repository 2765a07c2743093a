#include "control_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTreeWidget>
#include <cstdio>
#include <optional>

#include "gbk_bridge.h"
#include "loop_driver.h"
#include "rich_text_view.h"
#include "web_page_view.h"

namespace host {

using qorvdesk::automation::ControlInfo;
using qorvdesk::automation::ControlKind;
using qorvdesk::automation::KeyModifier;
using qorvdesk::automation::ListRow;
using qorvdesk::automation::TreeNode;
using qorvdesk::automation::WindowHandle;
namespace key = qorvdesk::automation::key;

QString ControlObjectName(int id) { return QStringLiteral("control-%1").arg(id); }

void RefuseCharacter(QWidget* near, const QString& character) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("提示"),
                                QStringLiteral("“%1”不能在这里输入：本程序只能收发 GBK "
                                               "字符集里的字符。")
                                    .arg(character),
                                QMessageBox::Ok, near != nullptr ? near->window() : nullptr);
    box->setObjectName(QStringLiteral("refusedCharacter"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void ControlWidget::Acted(bool ok, const char* action) {
    if (!ok) {
        std::fprintf(stderr, "qorvdesk: %s on control %d refused: %s\n", action, id_,
                     context_.driver.LastError().c_str());
    }
    context_.loop.PumpSoon();
}

void ControlWidget::PressKey(std::uint32_t virtualKey, KeyModifier modifier) {
    Acted(context_.driver.PressKey(window_, virtualKey, modifier), "PressKey");
}

void ControlWidget::ApplyCommon(const ControlInfo& info) {
    widget()->setEnabled(info.enabled);
    // A page of a tab widget is shown by choosing its tab, not by itself.
    if (qobject_cast<QStackedWidget*>(widget()->parentWidget()) == nullptr) {
        widget()->setVisible(info.visible);
    }
}

namespace {

class LabelControl final : public ControlWidget {
  public:
    LabelControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), label_(new QLabel(parent)) {
        label_->setWordWrap(true);
    }
    QWidget* widget() override { return label_; }
    void Update(const ControlInfo& info) override {
        label_->setText(FromGbk(info.text));
        ApplyCommon(info);
    }

  private:
    QLabel* label_;
};

class ButtonControl final : public ControlWidget {
  public:
    ButtonControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), button_(new QPushButton(parent)) {
        QObject::connect(button_, &QPushButton::clicked,
                         [this] { Acted(context_.driver.Click(window_, id_), "Click"); });
    }
    QWidget* widget() override { return button_; }
    void Update(const ControlInfo& info) override {
        button_->setText(FromGbk(info.text));
        ApplyCommon(info);
    }

  private:
    QPushButton* button_;
};

class CheckControl final : public ControlWidget {
  public:
    CheckControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), box_(new QCheckBox(parent)) {
        QObject::connect(box_, &QCheckBox::clicked,
                         [this] { Acted(context_.driver.Click(window_, id_), "Click"); });
    }
    QWidget* widget() override { return box_; }
    void Update(const ControlInfo& info) override {
        const QSignalBlocker quiet(box_);
        box_->setText(FromGbk(info.text));
        box_->setChecked(context_.driver.IsChecked(window_, id_).value_or(false));
        ApplyCommon(info);
    }

  private:
    QCheckBox* box_;
};

// An edit. The library keeps the text; what the person types goes in whole through
// TypeText. A password edit reads as one '*' per character: the widget then keeps the
// typed text and only echoes it hidden.
class EditControl final : public ControlWidget {
  public:
    EditControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), edit_(new QLineEdit(parent)) {
        QObject::connect(edit_, &QLineEdit::textEdited,
                         [this](const QString& text) { Typed(text); });
        QObject::connect(edit_, &QLineEdit::returnPressed,
                         [this] { PressKey(key::kReturn, KeyModifier::None); });
    }
    QWidget* widget() override { return edit_; }
    void Update(const ControlInfo& info) override {
        const QString shown = FromGbk(info.text);
        if (password_) {
            if (shown.isEmpty() && !edit_->text().isEmpty()) edit_->clear();
        } else if (shown != edit_->text()) {
            if (IsMask(shown) && !shown.isEmpty() && typed_.isEmpty()) {
                SetPassword();
                edit_->setText(shown);  // a remembered password, hidden as it is
            } else {
                edit_->setText(shown);
            }
        }
        ApplyCommon(info);
    }

  private:
    static bool IsMask(const QString& text) {
        for (QChar ch : text) {
            if (ch != QLatin1Char('*')) return false;
        }
        return true;
    }
    void SetPassword() {
        password_ = true;
        edit_->setEchoMode(QLineEdit::Password);
    }
    void Typed(const QString& text) {
        const std::optional<std::string> gbk = ToGbk(text);
        if (!gbk) {
            RefuseCharacter(edit_, FirstNonGbkCharacter(text));
            const QSignalBlocker quiet(edit_);
            edit_->setText(typed_);
            return;
        }
        typed_ = text;
        const bool all = context_.driver.TypeText(window_, id_, *gbk);
        const QString shown = FromGbk(context_.driver.Text(window_, id_).value_or(""));
        if (!password_ && !text.isEmpty() && shown != text && IsMask(shown)) SetPassword();
        if (!all && !password_) {
            const QSignalBlocker quiet(edit_);
            edit_->setText(shown);  // a limit cut the rest, as the control would
            typed_ = shown;
        }
        context_.loop.PumpSoon();
    }

    QLineEdit* edit_;
    QString typed_;
    bool password_ = false;
};

// A combo box. A drop-down combo (one with an edit field, which the library lets a person
// type into) is editable here too; what is typed goes in through TypeText.
class ComboControl final : public ControlWidget {
  public:
    ComboControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), combo_(new QComboBox(parent)) {
        QObject::connect(combo_, &QComboBox::activated, [this](int index) {
            Acted(context_.driver.ChooseCombo(window_, id_, index), "ChooseCombo");
        });
        // Whether it has an edit field is the library's to say: appending nothing is refused
        // by a drop-list and changes nothing in a drop-down.
        if (context_.driver.AppendText(window_, id_, "")) {
            combo_->setEditable(true);
            combo_->setInsertPolicy(QComboBox::NoInsert);
            QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited,
                             [this](const QString& text) { Typed(text); });
            QObject::connect(combo_->lineEdit(), &QLineEdit::returnPressed,
                             [this] { PressKey(key::kReturn, KeyModifier::None); });
        }
    }
    QWidget* widget() override { return combo_; }
    void Update(const ControlInfo& info) override {
        const QSignalBlocker quiet(combo_);
        const auto items = context_.driver.ComboItems(window_, id_);
        QStringList texts;
        if (items) {
            for (const std::string& item : *items) texts << FromGbk(item);
        }
        QStringList current;
        for (int i = 0; i < combo_->count(); ++i) current << combo_->itemText(i);
        if (texts != current) {
            combo_->clear();
            combo_->addItems(texts);
        }
        combo_->setCurrentIndex(context_.driver.ComboSelection(window_, id_).value_or(-1));
        if (combo_->isEditable()) {
            const QString shown = FromGbk(info.text);
            if (shown != combo_->lineEdit()->text()) combo_->lineEdit()->setText(shown);
        }
        ApplyCommon(info);
    }

  private:
    void Typed(const QString& text) {
        const std::optional<std::string> gbk = ToGbk(text);
        if (!gbk) {
            RefuseCharacter(combo_, FirstNonGbkCharacter(text));
            const QSignalBlocker quiet(combo_);
            combo_->lineEdit()->setText(FromGbk(context_.driver.Text(window_, id_).value_or("")));
            return;
        }
        Acted(context_.driver.TypeText(window_, id_, *gbk), "TypeText");
    }

    QComboBox* combo_;
};

class ProgressControl final : public ControlWidget {
  public:
    ProgressControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), bar_(new QProgressBar(parent)) {
        bar_->setRange(0, 100);
    }
    QWidget* widget() override { return bar_; }
    void Update(const ControlInfo& info) override {
        bar_->setValue(context_.driver.ProgressPosition(window_, id_).value_or(0));
        ApplyCommon(info);
    }

  private:
    QProgressBar* bar_;
};

class ListControl final : public ControlWidget {
  public:
    ListControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), list_(new QTreeWidget(parent)) {
        list_->setRootIsDecorated(false);
        list_->setUniformRowHeights(true);
        QObject::connect(list_, &QTreeWidget::itemClicked, [this](QTreeWidgetItem* item, int) {
            Acted(context_.driver.SelectListRow(window_, id_, list_->indexOfTopLevelItem(item)),
                  "SelectListRow");
        });
        QObject::connect(list_, &QTreeWidget::itemDoubleClicked,
                         [this](QTreeWidgetItem* item, int) {
                             Acted(context_.driver.DoubleClickListRow(
                                       window_, id_, list_->indexOfTopLevelItem(item)),
                                   "DoubleClickListRow");
                         });
    }
    QWidget* widget() override { return list_; }
    bool Stretches() const override { return true; }
    void Update(const ControlInfo& info) override {
        const QSignalBlocker quiet(list_);
        const auto columns = context_.driver.ListColumns(window_, id_);
        const auto rows = context_.driver.ListRows(window_, id_);
        if (columns && columns_ != *columns) {
            columns_ = *columns;
            QStringList labels;
            for (const std::string& column : columns_) labels << FromGbk(column);
            list_->setColumnCount(std::max<int>(1, labels.size()));
            list_->setHeaderLabels(labels);
            list_->setHeaderHidden(labels.isEmpty());
        }
        if (rows && rows_ != *rows) {
            rows_ = *rows;
            list_->clear();
            for (const ListRow& row : rows_) {
                auto* item = new QTreeWidgetItem(list_);
                for (std::size_t i = 0; i < row.texts.size(); ++i) {
                    item->setText(static_cast<int>(i), FromGbk(row.texts[i]));
                }
                item->setSelected(row.selected);
            }
        }
        ApplyCommon(info);
    }

  private:
    QTreeWidget* list_;
    std::vector<std::string> columns_;
    std::vector<ListRow> rows_;
};

// A small round picture per image index of a tree (presence, group, unit): the host draws
// its own, a colour per index.
QIcon TreeIcon(int image) {
    static std::vector<QIcon> icons;
    static const QColor colours[] = {QColor(0x3c, 0xb3, 0x71), QColor(0x9e, 0x9e, 0x9e),
                                     QColor(0xf0, 0xa0, 0x30), QColor(0xd0, 0x40, 0x40),
                                     QColor(0x40, 0x80, 0xd0), QColor(0x80, 0x60, 0xc0)};
    if (image < 0) image = 0;
    while (static_cast<int>(icons.size()) <= image) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(colours[icons.size() % std::size(colours)]);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(3, 3, 10, 10);
        icons.emplace_back(pixmap);
    }
    return icons[image];
}

bool SameTree(const std::vector<TreeNode>& a, const std::vector<TreeNode>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const TreeNode& x = a[i];
        const TreeNode& y = b[i];
        if (x.item != y.item || x.text != y.text || x.expanded != y.expanded ||
            x.selected != y.selected || x.checked != y.checked || x.bold != y.bold ||
            x.image != y.image || !SameTree(x.children, y.children)) {
            return false;
        }
    }
    return true;
}

bool AnyChecked(const std::vector<TreeNode>& nodes) {
    for (const TreeNode& node : nodes) {
        if (node.checked || AnyChecked(node.children)) return true;
    }
    return false;
}

class TreeControl final : public ControlWidget {
  public:
    static constexpr int kHandleRole = Qt::UserRole + 1;

    TreeControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), tree_(new QTreeWidget(parent)) {
        tree_->setHeaderHidden(true);
        tree_->setUniformRowHeights(true);
        // The library toggles an item on a double click itself.
        tree_->setExpandsOnDoubleClick(false);
        QObject::connect(tree_, &QTreeWidget::itemClicked, [this](QTreeWidgetItem* item, int) {
            Acted(context_.driver.SelectTreeItem(window_, id_, HandleOf(item)), "SelectTreeItem");
        });
        QObject::connect(
            tree_, &QTreeWidget::itemDoubleClicked, [this](QTreeWidgetItem* item, int) {
                const bool contact = item->childCount() == 0;
                Acted(context_.driver.DoubleClickTreeItem(window_, id_, HandleOf(item)),
                      "DoubleClickTreeItem");
                if (contact && context_.contactActivated) {
                    context_.contactActivated(window_, id_);
                }
            });
        QObject::connect(tree_, &QTreeWidget::itemExpanded, [this](QTreeWidgetItem* item) {
            Acted(context_.driver.ExpandTreeItem(window_, id_, HandleOf(item)), "ExpandTreeItem");
        });
        QObject::connect(tree_, &QTreeWidget::itemCollapsed, [this](QTreeWidgetItem* item) {
            Acted(context_.driver.CollapseTreeItem(window_, id_, HandleOf(item)),
                  "CollapseTreeItem");
        });
    }
    QWidget* widget() override { return tree_; }
    bool Stretches() const override { return true; }
    void Update(const ControlInfo& info) override {
        auto nodes = context_.driver.TreeItems(window_, id_);
        if (nodes && !SameTree(*nodes, nodes_)) {
            const bool sameItems = SameItems(*nodes, nodes_);
            nodes_ = std::move(*nodes);
            // A new selection or an item opened keeps the widget's items (a double click in
            // progress still finds the item it pressed); new items rebuild the tree.
            if (sameItems) {
                const QSignalBlocker quiet(tree_);
                for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
                    Apply(nodes_[i], tree_->topLevelItem(i));
                }
            } else {
                Rebuild();
            }
        }
        ApplyCommon(info);
    }

  private:
    static qorvdesk::automation::TreeItemHandle HandleOf(QTreeWidgetItem* item) {
        return item == nullptr ? 0 : item->data(0, kHandleRole).toUInt();
    }
    static bool SameItems(const std::vector<TreeNode>& a, const std::vector<TreeNode>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].item != b[i].item || a[i].text != b[i].text ||
                !SameItems(a[i].children, b[i].children)) {
                return false;
            }
        }
        return true;
    }
    void Apply(const TreeNode& node, QTreeWidgetItem* item) {
        item->setIcon(0, TreeIcon(node.image));
        QFont font = item->font(0);
        font.setBold(node.bold);
        item->setFont(0, font);
        if (checks_) item->setCheckState(0, node.checked ? Qt::Checked : Qt::Unchecked);
        if (node.selected && tree_->currentItem() != item) tree_->setCurrentItem(item);
        item->setSelected(node.selected);
        for (int i = 0; i < item->childCount(); ++i) Apply(node.children[i], item->child(i));
        if (item->isExpanded() != node.expanded) item->setExpanded(node.expanded);
    }
    void Rebuild() {
        const QSignalBlocker quiet(tree_);
        const int scroll = tree_->verticalScrollBar() ? tree_->verticalScrollBar()->value() : 0;
        tree_->clear();
        checks_ = AnyChecked(nodes_);
        QTreeWidgetItem* selected = nullptr;
        for (const TreeNode& node : nodes_) Add(node, nullptr, selected);
        if (selected != nullptr) tree_->setCurrentItem(selected);
        if (tree_->verticalScrollBar()) tree_->verticalScrollBar()->setValue(scroll);
    }
    void Add(const TreeNode& node, QTreeWidgetItem* parent, QTreeWidgetItem*& selected) {
        auto* item = parent == nullptr ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(parent);
        item->setText(0, FromGbk(node.text));
        item->setData(0, kHandleRole, node.item);
        item->setIcon(0, TreeIcon(node.image));
        if (node.bold) {
            QFont font = item->font(0);
            font.setBold(true);
            item->setFont(0, font);
        }
        if (checks_) item->setCheckState(0, node.checked ? Qt::Checked : Qt::Unchecked);
        if (node.selected) selected = item;
        for (const TreeNode& child : node.children) Add(child, item, selected);
        item->setExpanded(node.expanded);
    }

    QTreeWidget* tree_;
    std::vector<TreeNode> nodes_;
    bool checks_ = false;
};

}  // namespace

std::unique_ptr<ControlWidget> MakeControlWidget(ViewContext& context, WindowHandle window,
                                                 const ControlInfo& info, QWidget* parent) {
    std::unique_ptr<ControlWidget> made;
    switch (info.kind) {
        case ControlKind::Label:
            made = std::make_unique<LabelControl>(context, window, info.id, parent);
            break;
        case ControlKind::Edit:
            made = std::make_unique<EditControl>(context, window, info.id, parent);
            break;
        case ControlKind::Button:
            made = std::make_unique<ButtonControl>(context, window, info.id, parent);
            break;
        case ControlKind::CheckBox:
            made = std::make_unique<CheckControl>(context, window, info.id, parent);
            break;
        case ControlKind::ComboBox:
            made = std::make_unique<ComboControl>(context, window, info.id, parent);
            break;
        case ControlKind::ProgressBar:
            made = std::make_unique<ProgressControl>(context, window, info.id, parent);
            break;
        case ControlKind::List:
            made = std::make_unique<ListControl>(context, window, info.id, parent);
            break;
        case ControlKind::Tree:
            made = std::make_unique<TreeControl>(context, window, info.id, parent);
            break;
        case ControlKind::RichEdit:
            made = MakeRichTextControl(context, window, info.id, parent);
            break;
        case ControlKind::WebView:
            made = MakeWebPageControl(context, window, info.id, parent);
            break;
    }
    made->widget()->setObjectName(ControlObjectName(info.id));
    return made;
}

}  // namespace host
