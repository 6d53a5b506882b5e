#pragma once
// The navigation bar: one group of large-icon items with captions, reporting the index of the
// item clicked.
#include <QIcon>
#include <QList>
#include <QWidget>

class QToolButton;
class QVBoxLayout;

namespace vantrel {

class NavBar : public QWidget {
    Q_OBJECT
public:
    explicit NavBar(const QString& group, QWidget* parent = nullptr);
    void addItem(const QIcon& icon, const QString& caption);
    int count() const { return static_cast<int>(m_items.size()); }
    QToolButton* item(int index) const { return m_items.value(index); }
    void clickItem(int index);
    // Marks the item of the page shown; -1 marks none.
    void setCurrent(int index);
    int current() const;

signals:
    void itemClicked(int index);

private:
    QVBoxLayout* m_layout;
    QList<QToolButton*> m_items;
};

// A grey page title bar with its caption in white bold type.
QWidget* makeTitleBar(const QString& caption, QWidget* parent);

} // namespace vantrel
