#pragma once
// A number box with arrows of its own beside it: the box holds the text as typed (the checks on
// Next read it), and the arrows, and the Up and Down keys in the box, step from the number that
// is in the box now.
class QLineEdit;
class QSpinBox;

namespace vantrel {

void joinArrows(QLineEdit* box, QSpinBox* arrows);

} // namespace vantrel
