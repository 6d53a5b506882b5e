#include "widgets/listsection.h"

#include "core/colorschemes.h"
#include "core/geometry.h"
#include "widgets/datagrid.h"
#include "widgets/navbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vantrel {

void fillBackground(QWidget* w) {
    w->setAutoFillBackground(true);
}

ListSection buildListSection(QWidget* parent, const ListSectionParts& parts) {
    ListSection s;
    s.panel = new QWidget(parent);
    s.panel->setObjectName(parts.panel);
    // A list keeps room for its caption, a row and its buttons.
    s.panel->setMinimumHeight(kMinListBlock);
    auto* outer = new QHBoxLayout(s.panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* left = new QWidget(s.panel);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);

    auto* listPanel = new QWidget(left);
    listPanel->setObjectName(parts.listPanel);
    fillBackground(listPanel);
    auto* listLayout = new QVBoxLayout(listPanel);
    listLayout->setContentsMargins(4, 2, 4, 2);
    listLayout->setSpacing(2);
    auto* caption = new QLabel(parts.caption, listPanel);
    caption->setStyleSheet(QStringLiteral("font-weight: bold;"));
    listLayout->addWidget(caption);
    s.grid = new DataGrid(listPanel);
    s.grid->setObjectName(parts.grid);
    listLayout->addWidget(s.grid, 1);
    leftLayout->addWidget(listPanel, 1);

    auto* spacer = new QWidget(left);
    spacer->setObjectName(parts.spacer);
    spacer->setFixedHeight(6);
    fillBackground(spacer);
    leftLayout->addWidget(spacer);
    outer->addWidget(left, 1);

    auto* buttons = new QWidget(s.panel);
    buttons->setObjectName(parts.buttonsPanel);
    fillBackground(buttons);
    buttons->setFixedWidth(128);
    auto* buttonLayout = new QVBoxLayout(buttons);
    buttonLayout->setContentsMargins(6, 20, 6, 2);
    for (const auto& [name, text] : parts.buttons) {
        auto* b = new QPushButton(text, buttons);
        b->setObjectName(name);
        buttonLayout->addWidget(b);
        s.buttons.append(b);
    }
    buttonLayout->addStretch(1);
    outer->addWidget(buttons);
    s.coloured = {listPanel, buttons, spacer};
    return s;
}

QWidget* buildDetailsBox(QWidget* parent, const QString& scrollBoxName, const QString& caption) {
    auto* box = new QScrollArea(parent);
    box->setObjectName(scrollBoxName);
    box->setWidgetResizable(true);
    box->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    content->setObjectName(scrollBoxName + QStringLiteral("Content"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 2, 4, 4);
    auto* label = new QLabel(caption, content);
    label->setObjectName(scrollBoxName + QStringLiteral("Caption"));
    label->setStyleSheet(QStringLiteral("font-weight: bold;"));
    layout->addWidget(label);
    layout->addStretch(1);
    box->setWidget(content);
    fillBackground(box);
    fillBackground(box->viewport());
    fillBackground(content);
    return content;
}

} // namespace vantrel

#include <QSplitter>

namespace vantrel {

TwoListPage buildTwoListPage(QWidget* page, const QString& title, const ListSectionParts& upper,
                             const ListSectionParts& lower, const QString& scrollBox,
                             const QString& detailsCaption) {
    TwoListPage p;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTitleBar(title, page));
    p.splitter = new QSplitter(Qt::Vertical, page);
    p.splitter->setObjectName(page->objectName() + QStringLiteral("Splitter"));
    p.splitter->setChildrenCollapsible(false);
    p.splitter->setHandleWidth(3);
    p.upper = buildListSection(p.splitter, upper);
    p.lower = buildListSection(p.splitter, lower);
    p.details = buildDetailsBox(p.splitter, scrollBox, detailsCaption);
    p.detailsBox = qobject_cast<QScrollArea*>(p.details->parentWidget()->parentWidget());
    p.detailsBox->setMinimumHeight(kMinDetailsBox);
    p.splitter->addWidget(p.upper.panel);
    p.splitter->addWidget(p.lower.panel);
    p.splitter->addWidget(p.details->parentWidget()->parentWidget());
    p.splitter->setStretchFactor(0, 0);
    p.splitter->setStretchFactor(1, 0);
    p.splitter->setStretchFactor(2, 1);
    layout->addWidget(p.splitter, 1);
    return p;
}

void paint(QWidget* w, std::uint32_t c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, QColor(redOf(c), greenOf(c), blueOf(c)));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void paintTwoListPage(const TwoListPage& p, int scheme) {
    for (QWidget* w : p.upper.coloured)
        paint(w, schemeColour(SchemeRole::List, scheme));
    for (QWidget* w : p.lower.coloured)
        paint(w, schemeColour(SchemeRole::Plans, scheme));
    for (QWidget* w : {static_cast<QWidget*>(p.detailsBox), p.detailsBox->viewport(), p.detailsBox->widget()})
        paint(w, schemeColour(SchemeRole::Details, scheme));
}

void setListHeights(TwoListPage& p, int upper, int lower) {
    const int total = std::max(p.splitter->height(), upper + lower + 60);
    p.splitter->setSizes({upper, lower, total - upper - lower});
}

} // namespace vantrel
