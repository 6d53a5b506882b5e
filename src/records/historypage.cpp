#include "records/historypage.h"

#include "base/errors.h"
#include "core/colorschemes.h"
#include "core/datetime.h"
#include "core/geometry.h"
#include "core/shared.h"
#include "platform/qt/savefile.h"
#include "plans/history.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "widgets/datagrid.h"
#include "widgets/daysquares.h"
#include "widgets/navbar.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QColor colourOf(std::uint32_t c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

DaySquares::Kind kindOf(const plans::DaySummary& d) {
    if (d.due == 0) return DaySquares::Kind::NoDoses;
    if (d.taken == d.due) return DaySquares::Kind::AllTaken;
    return d.taken == 0 ? DaySquares::Kind::NoneTaken : DaySquares::Kind::SomeTaken;
}

QString shortTime(double v) {
    return QLocale::c().toString(dt::toQDateTime(v).time(), QStringLiteral("hh:mm AP"));
}

QString dayTooltip(const plans::DaySummary& d) {
    const QString date = QLocale::c().toString(d.day, QStringLiteral("ddd M/d/yyyy"));
    if (d.lines.isEmpty()) return date + QStringLiteral(": no doses");
    return date + QLatin1Char('\n') + d.lines.join(QLatin1Char('\n'));
}

} // namespace

TfrmHistoryEntry::TfrmHistoryEntry(Mode mode, const plans::DoseLogRow& row, QWidget* mainWindow)
    : QDialog(mainWindow) {
    makeFixedDialog(this, "TfrmHistoryEntry",
                    mode == Mode::TakenAt ? QStringLiteral("Taken At") : QStringLiteral("Note"));
    auto* layout = new QVBoxLayout(this);
    const QString what = QStringLiteral("%1, %2").arg(displayText(row.ITEMNAME, kShortDisplay),
                                                    dt::formatDateTime(row.EVENTTIME));
    auto* caption = new QLabel(what, this);
    caption->setTextFormat(Qt::PlainText);
    layout->addWidget(caption);
    if (mode == Mode::TakenAt) {
        layout->addWidget(new QLabel(QStringLiteral("Taken at:"), this));
        dtTakenAt = new QDateTimeEdit(dt::toQDateTime(row.ACTEDAT > 0 && row.STATE == QLatin1String("T")
                                                          ? row.ACTEDAT
                                                          : row.EVENTTIME),
                                      this);
        dtTakenAt->setObjectName(QStringLiteral("dtTakenAt"));
        dtTakenAt->setDisplayFormat(QStringLiteral("M/d/yyyy hh:mm AP"));
        dtTakenAt->setCalendarPopup(true);
        layout->addWidget(dtTakenAt);
    } else {
        layout->addWidget(new QLabel(QStringLiteral("Note:"), this));
        teNote = new QLineEdit(row.NOTE.left(kMostNote), this);
        teNote->setObjectName(QStringLiteral("teNote"));
        teNote->setMaxLength(kMostNote);
        teNote->setMinimumWidth(280);
        layout->addWidget(teNote);
    }
    QPushButton* ok = addDialogButtons(this, layout, "BitBtn1", "BitBtn2");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint());
    placeDialog(this, mainWindow, Placement::SmallDialog);
}

double TfrmHistoryEntry::takenAt() const {
    return dtTakenAt ? dt::roundToSecond(dt::fromQDateTime(dtTakenAt->dateTime())) : 0;
}

QString TfrmHistoryEntry::note() const {
    return teNote ? teNote->text() : QString();
}

HistoryPage::HistoryPage(PageHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("TabSheet5"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTitleBar(QStringLiteral("History"), this));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("TabSheet5Splitter"));
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(3);
    m_list = buildListSection(splitter, {QStringLiteral("Panel50"),
                                         QStringLiteral("Panel51"),
                                         QStringLiteral("Panel52"),
                                         QStringLiteral("Panel53"),
                                         QStringLiteral("Doses and Appointments"),
                                         QStringLiteral("DBAdvStringGrid5"),
                                         {{QStringLiteral("btnHistoryTaken"), QStringLiteral("Taken At...")},
                                          {QStringLiteral("btnHistorySkipped"), QStringLiteral("Skipped")},
                                          {QStringLiteral("btnHistoryNote"), QStringLiteral("Note...")},
                                          {QStringLiteral("btnExportHistory"), QStringLiteral("Export...")}}});
    m_list.grid->setColumns({{QStringLiteral("Date"), QString(), 80},
                             {QStringLiteral("Time"), QString(), 80},
                             {QStringLiteral("Medicine / Doctor"), QString(), 130},
                             {QStringLiteral("Answer"), QString(), 90},
                             {QStringLiteral("Answered"), QString(), 130},
                             {QStringLiteral("Note"), QString(), 80}});
    m_list.grid->sortBy(0, Qt::DescendingOrder);
    // The period is chosen at the top of the buttons.
    auto* buttonsLayout = qobject_cast<QVBoxLayout*>(m_list.buttons.first()->parentWidget()->layout());
    cbHistoryPeriod = new QComboBox(this);
    cbHistoryPeriod->setObjectName(QStringLiteral("cbHistoryPeriod"));
    for (int days : kPeriods)
        cbHistoryPeriod->addItem(days ? QStringLiteral("Last %1 days").arg(days) : QStringLiteral("All"));
    cbHistoryPeriod->setCurrentIndex(1);
    buttonsLayout->insertWidget(0, new QLabel(QStringLiteral("Period:"), this));
    buttonsLayout->insertWidget(1, cbHistoryPeriod);
    buttonsLayout->insertSpacing(2, 8);
    splitter->addWidget(m_list.panel);

    QWidget* details = buildDetailsBox(splitter, QStringLiteral("ScrollBox3"), QStringLiteral("Doses Taken"));
    m_detailsBox = qobject_cast<QScrollArea*>(details->parentWidget()->parentWidget());
    m_detailsBox->setMinimumHeight(kMinDetailsBox);
    auto* detailsLayout = qobject_cast<QVBoxLayout*>(details->layout());
    lblAdherence = new QLabel(details);
    lblAdherence->setObjectName(QStringLiteral("lblAdherence"));
    lblAdherence->setTextFormat(Qt::PlainText);
    lblAdherence->setWordWrap(true);
    DoseDays = new DaySquares(details);
    DoseDays->setObjectName(QStringLiteral("DoseDays"));
    auto* legend = new QHBoxLayout;
    const std::pair<DaySquares::Kind, const char*> kinds[] = {{DaySquares::Kind::AllTaken, "All taken"},
                                                              {DaySquares::Kind::SomeTaken, "Some taken"},
                                                              {DaySquares::Kind::NoneTaken, "None taken"},
                                                              {DaySquares::Kind::NoDoses, "No doses"}};
    for (const auto& [kind, text] : kinds) {
        auto* square = new DaySquares(details);
        square->setDays({{QDate(), kind, QString()}});
        square->setFixedSize(DaySquares::kSquare, DaySquares::kSquare);
        m_legend << square;
        legend->addWidget(square);
        legend->addWidget(new QLabel(QString::fromLatin1(text), details));
        legend->addSpacing(10);
    }
    legend->addStretch(1);
    detailsLayout->insertWidget(1, lblAdherence);
    detailsLayout->insertWidget(2, DoseDays);
    detailsLayout->insertLayout(3, legend);
    splitter->addWidget(m_detailsBox);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    layout->addWidget(splitter, 1);

    connect(cbHistoryPeriod, &QComboBox::currentIndexChanged, this, &HistoryPage::cbHistoryPeriodChange);
    connect(m_list.buttons[0], &QPushButton::clicked, this, &HistoryPage::btnHistoryTakenClick);
    connect(m_list.buttons[1], &QPushButton::clicked, this, &HistoryPage::btnHistorySkippedClick);
    connect(m_list.buttons[2], &QPushButton::clicked, this, &HistoryPage::btnHistoryNoteClick);
    connect(m_list.buttons[3], &QPushButton::clicked, this, &HistoryPage::btnExportHistoryClick);
    connect(m_list.grid, &QTableWidget::itemSelectionChanged, this, &HistoryPage::updateButtons);
    connect(m_list.grid, &DataGrid::dblClickCell, this, [this](int row, int) {
        if (row != 0 && m_list.buttons[2]->isEnabled()) btnHistoryNoteClick();
    });
    applyColorScheme(Pastel);
    updateButtons();
}

int HistoryPage::periodDays() const {
    return kPeriods[std::clamp(cbHistoryPeriod->currentIndex(), 0, int(std::size(kPeriods)) - 1)];
}

void HistoryPage::switchProfile(int patientRef) {
    m_patientRef = patientRef;
    reload();
}

void HistoryPage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    reload();
}

void HistoryPage::reload() {
    m_rows.clear();
    const int days = periodDays();
    const double now = m_host.ctx.clock->nowValue();
    const double from = days ? dt::dayOf(now) - (days - 1) : 0;
    try {
        if (m_patientRef >= 0 && m_host.ctx.db.isOpen())
            m_rows = plans::DoseLog(m_host.ctx.db).history(m_patientRef, from, dt::kLastUsable);
    } catch (const std::exception& e) {
        Messages::error(m_host.window, errorText(e));
    }
    QList<QStringList> cells;
    QList<QVariantList> keys;
    for (const plans::DoseLogRow& r : m_rows) {
        cells << QStringList{dt::formatDate(r.EVENTTIME),
                             shortTime(r.EVENTTIME),
                             r.ITEMNAME,
                             plans::answerText(r),
                             r.ACTEDAT > 0 ? dt::formatDate(r.ACTEDAT) + QLatin1Char(' ') + shortTime(r.ACTEDAT)
                                           : QString(),
                             r.NOTE};
        keys << QVariantList{r.EVENTTIME, dt::timeOf(r.EVENTTIME), QVariant(), QVariant(),
                             r.ACTEDAT > 0 ? QVariant(r.ACTEDAT) : QVariant(), QVariant()};
    }
    m_list.grid->loadRows(cells, keys);
    if (!m_rows.isEmpty()) m_list.grid->selectShownRow(1);
    showSummaries();
    updateButtons();
}

void HistoryPage::showSummaries() {
    const int days = periodDays();
    QStringList lines;
    for (const plans::Adherence& a : plans::adherence(m_rows))
        lines << plans::adherenceLine(a, days);
    lblAdherence->setText(lines.isEmpty() ? QStringLiteral("No doses in this period.") : lines.join(QLatin1Char('\n')));
    // A square a day of the period; the whole history shows its last year at most.
    const QDate today = m_host.ctx.clock->now().date();
    QDate first = today.addDays(-(days ? days : 365) + 1);
    if (!days && !m_rows.isEmpty())
        first = std::max(first, dt::toQDateTime(m_rows.last().EVENTTIME).date());
    QList<DaySquares::Day> squares;
    for (const plans::DaySummary& d : plans::daySummaries(m_rows, first, today))
        squares.append({d.day, kindOf(d), dayTooltip(d)});
    DoseDays->setDays(squares);
    // The box keeps room for its lines and squares, up to a third of the page.
    const int needed = m_detailsBox->widget()->sizeHint().height() + 4;
    m_detailsBox->setMinimumHeight(std::clamp(needed, kMinDetailsBox, std::max(kMinDetailsBox, height() / 3)));
}

std::optional<plans::DoseLogRow> HistoryPage::selectedRow() const {
    const int dataRow = m_list.grid->dataRowOf(m_list.grid->selectedRow());
    if (dataRow < 1 || dataRow > m_rows.size()) return std::nullopt;
    return m_rows[dataRow - 1];
}

void HistoryPage::updateButtons() {
    const bool any = selectedRow().has_value();
    for (int i = 0; i < 3; ++i)
        m_list.buttons[i]->setEnabled(any);
    m_list.buttons[3]->setEnabled(!m_rows.isEmpty());
}

void HistoryPage::reloadKeepingSelection(int logId) {
    reload();
    for (int shown = 1; shown <= m_list.grid->shownRows(); ++shown) {
        const int dataRow = m_list.grid->dataRowOf(shown);
        if (dataRow >= 1 && m_rows[dataRow - 1].LOGID == logId) m_list.grid->selectShownRow(shown);
    }
}

void HistoryPage::cbHistoryPeriodChange() {
    reload();
}

void HistoryPage::btnHistoryTakenClick() {
    const auto row = selectedRow();
    if (!row) return;
    TfrmHistoryEntry dialog(TfrmHistoryEntry::Mode::TakenAt, *row, m_host.window);
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        plans::DoseLog(m_host.ctx.db).setAnswer(row->LOGID, u'T', dialog.takenAt());
    } catch (const std::exception& e) {
        Messages::error(m_host.window, errorText(e));
    }
    reloadKeepingSelection(row->LOGID);
}

void HistoryPage::btnHistorySkippedClick() {
    const auto row = selectedRow();
    if (!row) return;
    try {
        plans::DoseLog(m_host.ctx.db).setAnswer(row->LOGID, u'S', m_host.ctx.clock->nowValue());
    } catch (const std::exception& e) {
        Messages::error(m_host.window, errorText(e));
    }
    reloadKeepingSelection(row->LOGID);
}

void HistoryPage::btnHistoryNoteClick() {
    const auto row = selectedRow();
    if (!row) return;
    TfrmHistoryEntry dialog(TfrmHistoryEntry::Mode::Note, *row, m_host.window);
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        plans::DoseLog(m_host.ctx.db).setNote(row->LOGID, dialog.note().trimmed());
    } catch (const std::exception& e) {
        Messages::error(m_host.window, errorText(e));
    }
    reloadKeepingSelection(row->LOGID);
}

// The rows shown, as CSV, to a file the person chooses; readable by its owner only, as the
// household's data.
void HistoryPage::btnExportHistoryClick() {
    const QString suggested =
        QDir::home().filePath(QStringLiteral("history-%1.csv")
                                  .arg(m_host.ctx.clock->now().date().toString(QStringLiteral("yyyy-MM-dd"))));
    const QString file = saveFileName(m_host.window, suggested, QStringLiteral("CSV files|*.csv|All files|*.*"));
    if (file.isEmpty()) return;
    try {
        platform::saveFileAtomically(file, plans::historyCsv(m_rows), platform::kOwnerOnly,
                                     QStringLiteral("the history"));
        Messages::info(m_host.window, QStringLiteral("%1 rows were written to %2.")
                                          .arg(m_rows.size())
                                          .arg(QDir::toNativeSeparators(file)));
    } catch (const std::exception& e) {
        Messages::error(m_host.window, errorText(e));
    }
}

void HistoryPage::applyColorScheme(int scheme) {
    for (QWidget* w : m_list.coloured)
        paint(w, schemeColour(SchemeRole::List, scheme));
    for (QWidget* w : {static_cast<QWidget*>(m_detailsBox), m_detailsBox->viewport(), m_detailsBox->widget()})
        paint(w, schemeColour(SchemeRole::Details, scheme));
    // The squares in the scheme's own colour: darker for more taken.
    const QColor base = colourOf(schemeColour(SchemeRole::List, scheme));
    const QColor all = base.darker(230), some = base.darker(150);
    const QColor none = colourOf(schemeColour(SchemeRole::Details, scheme)).lighter(105);
    const QColor empty = palette().color(QPalette::Base);
    DoseDays->setColours(all, some, none, empty);
    for (DaySquares* s : m_legend)
        s->setColours(all, some, none, empty);
}

} // namespace vantrel
