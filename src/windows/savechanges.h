#pragma once
// The question a window asks before it closes over typing that is not
// stored: Save, Discard or Cancel, as desktop programs ask it.
#include <QString>
#include <functional>

class DbGrid;
class QWidget;

enum class UnsavedChoice { Save, Discard, Cancel };

// "Save the changes to Ann Alder?" in a box titled "Vantrel".
UnsavedChoice askToSave(QWidget* parent, const QString& what);

// A grid window closing: when its grid holds unsaved typing the user is
// asked about it, named by `what` once the text of an open cell is in the
// row, and the row is posted or dropped as answered. False keeps the
// window open: Cancel, or a save that was refused (the user has been told
// why and finds the row as they left it).
bool settleGridBeforeClose(QWidget* window, DbGrid& grid, const std::function<QString()>& what);
