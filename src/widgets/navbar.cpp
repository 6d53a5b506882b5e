#include "widgets/navbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {

NavBar::NavBar(const QString& group, QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::ButtonText, Qt::white);
    setPalette(p);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(6);
    auto* header = new QLabel(group, this);
    header->setObjectName(QStringLiteral("groupCaption"));
    header->setAlignment(Qt::AlignCenter);
    header->setAutoFillBackground(true);
    header->setStyleSheet(
        QStringLiteral("background: #5a5a5a; color: white; font-weight: bold; padding: 3px;"));
    m_layout->addWidget(header);
    m_layout->addStretch(1);
}

void NavBar::addItem(const QIcon& icon, const QString& caption) {
    auto* b = new QToolButton(this);
    b->setIcon(icon);
    b->setIconSize(QSize(32, 32));
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setCheckable(true);
    b->setFixedSize(65, 60);
    // The caption stays white on a dark ground in every state; the current page's item is
    // marked by a darker ground and a light border.
    b->setStyleSheet(QStringLiteral("QToolButton { color: white; background: transparent; border: 1px solid "
                                    "transparent; border-radius: 3px; }"
                                    "QToolButton:hover { background: #6c6c6c; border-color: #9a9a9a; }"
                                    "QToolButton:pressed { background: #4a4a4a; }"
                                    "QToolButton:checked { background: #464646; border-color: #e8e8e8; }"));
    const int index = static_cast<int>(m_items.size());
    // A click never unmarks the current item; the page shown decides what is marked.
    connect(b, &QToolButton::clicked, this, [this, index] {
        setCurrent(index);
        emit itemClicked(index);
    });
    m_items.append(b);
    m_layout->insertWidget(m_layout->count() - 1, b, 0, Qt::AlignHCenter);
}

void NavBar::setCurrent(int index) {
    for (int i = 0; i < m_items.size(); ++i)
        m_items[i]->setChecked(i == index);
}

int NavBar::current() const {
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i]->isChecked()) return i;
    return -1;
}

void NavBar::clickItem(int index) {
    emit itemClicked(index);
}

QWidget* makeTitleBar(const QString& caption, QWidget* parent) {
    auto* bar = new QWidget(parent);
    bar->setAutoFillBackground(true);
    QPalette p = bar->palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    bar->setPalette(p);
    bar->setFixedHeight(24);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 0, 4, 0);
    auto* label = new QLabel(caption, bar);
    label->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    layout->addWidget(label);
    layout->addStretch(1);
    return bar;
}

} // namespace vantrel
