#include "widgets/arrowbox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace vantrel {

namespace {
// Up and Down in the box step the arrows.
class StepKeys : public QObject {
public:
    StepKeys(QLineEdit* box, QSpinBox* arrows) : QObject(box), m_arrows(arrows) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up) m_arrows->stepUp();
        if (key == Qt::Key_Down) m_arrows->stepDown();
        return key == Qt::Key_Up || key == Qt::Key_Down;
    }

private:
    QSpinBox* m_arrows;
};
} // namespace

void joinArrows(QLineEdit* box, QSpinBox* arrows) {
    // A number typed within the range becomes the arrows' value, without touching the text.
    QObject::connect(box, &QLineEdit::textChanged, arrows, [arrows](const QString& text) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        if (!ok) return;
        const QSignalBlocker quiet(arrows);
        arrows->setValue(std::clamp(v, arrows->minimum(), arrows->maximum()));
    });
    QObject::connect(arrows, qOverload<int>(&QSpinBox::valueChanged), box,
                     [box](int v) { box->setText(QString::number(v)); });
    box->installEventFilter(new StepKeys(box, arrows));
}

} // namespace vantrel
