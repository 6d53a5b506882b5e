#pragma once
// One list block of a page: a caption and grid on the left, a column of buttons on the right and
// a thin spacer under the list, each a panel of its own so the colour schemes can reach it.
#include <QList>
#include <cstdint>
#include <QString>
#include <utility>

class QPushButton;
class QWidget;

namespace vantrel {

class DataGrid;

struct ListSectionParts {
    QString panel, listPanel, buttonsPanel, spacer, caption, grid;
    QList<std::pair<QString, QString>> buttons; // object name, caption
};

struct ListSection {
    QWidget* panel = nullptr;
    DataGrid* grid = nullptr;
    QList<QPushButton*> buttons;
    QList<QWidget*> coloured; // the list, button and spacer panels that carry the scheme's colour
};

ListSection buildListSection(QWidget* parent, const ListSectionParts& parts);

// A scroll box for a details panel with its caption at the top; returns the content widget.
QWidget* buildDetailsBox(QWidget* parent, const QString& scrollBoxName, const QString& caption);

void fillBackground(QWidget* w);
// Fills the widget's background with a Windows colour value (0x00BBGGRR).
void paint(QWidget* w, std::uint32_t colour);

} // namespace vantrel

class QScrollArea;
class QSplitter;

namespace vantrel {

// A page of two list blocks over a details box, split by two draggable splitters.
struct TwoListPage {
    QSplitter* splitter = nullptr;
    ListSection upper, lower;
    QWidget* details = nullptr; // content widget of the details box
    QScrollArea* detailsBox = nullptr;
};

// Colours the two list blocks and the details box by the colour scheme.
void paintTwoListPage(const TwoListPage& p, int scheme);

TwoListPage buildTwoListPage(QWidget* page, const QString& title, const ListSectionParts& upper,
                             const ListSectionParts& lower, const QString& scrollBox,
                             const QString& detailsCaption);
// Heights of the two list blocks, as the user left them with the splitters.
void setListHeights(TwoListPage& p, int upper, int lower);

} // namespace vantrel
