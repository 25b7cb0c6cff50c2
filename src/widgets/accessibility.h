#pragma once

class QAccessibleInterface;
class QObject;

namespace orben {

class TDigitalDisplay;
class THexEditor;
class THListBox;

// The interfaces through which assistive technology (a screen reader, a
// magnifier) reads the system's own widgets, which draw themselves:
// - a display is a static text (an editable text when typed into) whose
//   value is its shown text; one that edits when activated can be pressed;
// - the memory grid is a table, a row per line of the dump and two columns
//   (the digits and the text), the caret's cell its focused child, named
//   by its row label and content ("H0012: 2105");
// - the listing is a list of its lines, the marked line its selected child.
//
// Installed once, by the first widget that needs it.
void installAccessibleWidgets();

QAccessibleInterface* accessibleDisplay(TDigitalDisplay* display);
QAccessibleInterface* accessibleMemoryGrid(THexEditor* grid);
QAccessibleInterface* accessibleListing(THListBox* listing);

// The grid's caret moved to another cell (or the grid took the focus): the
// cell is now the focused child.
void announceCaretCell(THexEditor& grid);
// The listing's marked line changed: it is now the selected child (and the
// focused one while the listing has the focus).
void announceMarkedLine(THListBox& listing);

}  // namespace orben
