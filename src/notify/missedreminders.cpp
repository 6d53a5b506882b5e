#include "notify/missedreminders.h"

#include "core/datetime.h"
#include "core/shared.h"
#include "ui/dialogs.h"

#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(displayText(text, kShortDisplay));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(displayText(text, kLongDisplay));
    return item;
}

QString whenText(double v) {
    return dt::formatDate(v) + QLatin1Char(' ') + QLocale::c().toString(dt::toQDateTime(v).time(), QStringLiteral("hh:mm AP"));
}

} // namespace

TfrmMissedReminders::TfrmMissedReminders(const QList<ReminderOccurrence>& missed)
    : QWidget(nullptr), m_missed(missed) {
    makeFixedDialog(this, "TfrmMissedReminders", QStringLiteral("Missed Reminders"),
                    Qt::WindowSystemMenuHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("These reminders came due while Vantrel Planner was not running:"), this);
    intro->setObjectName(QStringLiteral("lblMissed"));
    layout->addWidget(intro);

    grdMissed = new QTableWidget(static_cast<int>(missed.size()), ColCount, this);
    grdMissed->setObjectName(QStringLiteral("grdMissed"));
    grdMissed->setHorizontalHeaderLabels(
        {QStringLiteral("For"), QStringLiteral("Medicine / Doctor"), QStringLiteral("Time"),
         QStringLiteral("Reminder"), QStringLiteral("Taken at"), QString()});
    grdMissed->verticalHeader()->hide();
    grdMissed->setSelectionMode(QAbstractItemView::NoSelection);
    grdMissed->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdMissed->setWordWrap(false);
    for (int r = 0; r < missed.size(); ++r) {
        const ReminderOccurrence& o = missed[r];
        grdMissed->setItem(r, ColFor, cell(o.personName));
        grdMissed->setItem(r, ColItem, cell(o.dose() ? o.itemName : QStringLiteral("Dr. ") + o.itemName));
        grdMissed->setItem(r, ColTime, cell(whenText(o.eventTime)));
        grdMissed->setItem(r, ColText, cell(o.reminder.NOTIFTEXT.simplified()));
        QDateTimeEdit* takenAt = nullptr;
        if (o.dose()) {
            takenAt = new QDateTimeEdit(dt::toQDateTime(o.eventTime), grdMissed);
            takenAt->setObjectName(QStringLiteral("dtTakenAt%1").arg(r));
            takenAt->setDisplayFormat(QStringLiteral("M/d/yyyy hh:mm AP"));
            grdMissed->setCellWidget(r, ColTakenAt, takenAt);
            auto* answers = new QWidget(grdMissed);
            auto* row = new QHBoxLayout(answers);
            row->setContentsMargins(2, 0, 2, 0);
            row->setSpacing(4);
            for (const auto& [name, text, state] :
                 {std::tuple{"btnTaken%1", "Taken", u'T'}, std::tuple{"btnSkipped%1", "Skipped", u'S'}}) {
                auto* b = new QPushButton(QString::fromLatin1(text), answers);
                b->setObjectName(QString::fromLatin1(name).arg(r));
                row->addWidget(b);
                connect(b, &QPushButton::clicked, this, [this, r, state = QChar(state)] { answerRow(r, state); });
            }
            grdMissed->setCellWidget(r, ColAnswer, answers);
        } else {
            grdMissed->setItem(r, ColTakenAt, cell(QString()));
            grdMissed->setItem(r, ColAnswer, cell(QString()));
        }
        m_takenAt << takenAt;
    }
    grdMissed->resizeColumnsToContents();
    grdMissed->resizeRowsToContents();
    grdMissed->horizontalHeader()->setStretchLastSection(false);
    grdMissed->setColumnWidth(ColText, std::min(grdMissed->columnWidth(ColText), 220));
    int width = 4;
    for (int c = 0; c < ColCount; ++c)
        width += grdMissed->columnWidth(c);
    int height = grdMissed->horizontalHeader()->height() + 4;
    for (int r = 0; r < std::min<int>(8, grdMissed->rowCount()); ++r)
        height += grdMissed->rowHeight(r);
    grdMissed->setMinimumSize(std::min(width, 900), height);
    layout->addWidget(grdMissed, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setDefault(true);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    adjustSize();
    // In the middle of the screen: it is the first thing the person sees after the start.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmMissedReminders::answerRow(int row, QChar state) {
    if (row < 0 || row >= m_missed.size() || !m_takenAt[row]) return;
    const double at = state == u'T' ? dt::roundToSecond(dt::fromQDateTime(m_takenAt[row]->dateTime()))
                                     : m_missed[row].eventTime;
    emit answered(m_missed[row].LOGID, state, at);
    m_takenAt[row]->setEnabled(false);
    if (QWidget* buttons = grdMissed->cellWidget(row, ColAnswer)) buttons->hide();
    grdMissed->removeCellWidget(row, ColAnswer);
    grdMissed->setItem(row, ColAnswer, cell(state == u'T' ? QStringLiteral("Taken") : QStringLiteral("Skipped")));
}

} // namespace vantrel
