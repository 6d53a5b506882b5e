#include "ui/printedlist.h"

#include "base/errors.h"
#include "platform/qt/savefile.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <climits>

namespace vantrel {

namespace {

// One pass over the pages: places each block below the last, and opens a page when it does
// not fit.
class PageSetter {
public:
    PageSetter(QPainter& painter, QPagedPaintDevice& device, QString person)
        : m_p(painter), m_device(device), m_person(std::move(person)) {
        const QFont base = QGuiApplication::font();
        m_body = base;
        m_body.setPointSizeF(10);
        m_heading = m_body;
        m_heading.setPointSizeF(12.5);
        m_heading.setBold(true);
        m_title = m_heading;
        m_title.setPointSizeF(17);
        m_small = m_body;
        m_small.setPointSizeF(8);
        m_width = painter.viewport().width();
        m_height = painter.viewport().height();
        header();
    }

    int pages() const { return m_pages; }

    // The height the text takes at the given indent, wrapped at the page's width.
    int heightOf(const QString& text, const QFont& font, int indent) const {
        m_p.setFont(font);
        return m_p.fontMetrics()
            .boundingRect(QRect(0, 0, m_width - indent, INT_MAX), Qt::TextWordWrap, text)
            .height();
    }

    // Opens a new page unless `needed` fits below what is there.
    void room(int needed) {
        if (m_y + needed <= m_height) return;
        m_device.newPage();
        ++m_pages;
        header();
    }

    void text(const QString& text, const QFont& font, int indent = 0, int spaceBefore = 0) {
        const int h = heightOf(text, font, indent);
        if (m_y > m_top) m_y += spaceBefore;
        room(h);
        m_p.setFont(font);
        m_p.drawText(QRect(indent, m_y, m_width - indent, h), Qt::TextWordWrap, text);
        m_y += h;
    }

    int lineHeight() const { return m_p.fontMetrics().height(); }
    int em() const { return QFontMetrics(m_body, &m_device).height(); }

    const QFont& body() const { return m_body; }
    const QFont& heading() const { return m_heading; }
    const QFont& title() const { return m_title; }

private:
    void header() {
        m_p.setFont(m_small);
        const int h = m_p.fontMetrics().height();
        const QRect band(0, 0, m_width, h);
        m_p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vantrel Planner: medicine list of ") + m_person);
        m_p.drawText(band, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1").arg(m_pages));
        m_p.drawLine(0, h + h / 4, m_width, h + h / 4);
        m_top = h * 2;
        m_y = m_top;
    }

    QPainter& m_p;
    QPagedPaintDevice& m_device;
    QString m_person;
    QFont m_body, m_heading, m_title, m_small;
    int m_width = 0, m_height = 0, m_top = 0, m_y = 0, m_pages = 1;
};

} // namespace

int paintMedicineList(const plans::MedicineList& list, QPagedPaintDevice& device) {
    QPainter painter(&device);
    if (!painter.isActive()) throw PlatformError("The medicine list cannot be set on this printer or file.");
    PageSetter s(painter, device, list.person);
    const int gap = s.em() / 2;
    s.text(QStringLiteral("Medicine list of ") + list.person, s.title());
    s.text(list.printedOn, s.body());
    for (const plans::ListSection& section : list.sections) {
        // A heading never stands alone at the foot of a page.
        const QString first = section.lines.isEmpty() ? section.empty : section.lines.first().text;
        s.room(gap * 3 + s.heightOf(section.heading, s.heading(), 0) + s.heightOf(first, s.body(), 0));
        s.text(section.heading, s.heading(), 0, gap * 3);
        if (section.lines.isEmpty()) s.text(section.empty, s.body(), 0, gap / 2);
        for (const plans::ListLine& line : section.lines)
            s.text(line.text, s.body(), line.indent * s.em() * 2, line.indent == 0 ? gap : 0);
    }
    return s.pages();
}

void saveMedicineListPdf(const plans::MedicineList& list, const QString& file) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("Medicine list of ") + list.person);
        pdf.setCreator(QStringLiteral("Vantrel Planner"));
        const auto territory = QLocale::system().territory();
        const bool letter = territory == QLocale::UnitedStates || territory == QLocale::Canada;
        pdf.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
        pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        paintMedicineList(list, pdf);
    }
    // The list tells of the household's medicines: its file is the user's alone.
    platform::saveFileAtomically(file, buffer.data(), platform::kOwnerOnly, QStringLiteral("the medicine list"));
}

} // namespace vantrel
