// Controls placed at their dialog-unit rectangles (converted with the dialog
// font), each named after its control id so that tests and scripts can find
// it. Shared by the dialogs and the pages of the settings sheet.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kvt {

// Names the dialog after its resource id, gives it its caption, the dialog
// font and its fixed size in dialog units.
void SetUpDialog(QDialog* dialog, int id, const QString& caption, int widthDu, int heightDu);

// A group box whose title sits on its top frame line; kept beneath the
// controls placed inside it.
QGroupBox* PlaceGroup(QWidget* parent, const QString& title, int x, int y, int w, int h);
QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y, int w, int h);
// A drop-down list; its height is that of the closed box.
QComboBox* PlaceCombo(QWidget* parent, int id, const QStringList& items, int x, int y, int w);
// A push button that does not become the default on focus.
QPushButton* PlaceButton(QWidget* parent, int id, const QString& text, int x, int y, int w,
                         int h);
// A read-only, right-aligned edit (run counters, page numbers).
QLineEdit* PlaceNumberBox(QWidget* parent, int id, int x, int y, int w, int h);

}  // namespace kvt
