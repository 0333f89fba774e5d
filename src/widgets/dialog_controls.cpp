#include "widgets/dialog_controls.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/dialog_units.h"

namespace kvt {

namespace {

// The height of a closed drop-down list, in dialog units.
constexpr int kClosedComboHeight = 12;

QRect Du(int x, int y, int w, int h) { return DialogRect(DialogFont(), x, y, w, h); }

}  // namespace

void SetUpDialog(QDialog* dialog, int id, const QString& caption, int widthDu, int heightDu) {
    dialog->setObjectName(QString::number(id));
    dialog->setWindowTitle(caption);
    QFont font = DialogFont();
    dialog->setFont(font);
    dialog->setFixedSize(DialogSize(font, widthDu, heightDu));
}

QGroupBox* PlaceGroup(QWidget* parent, const QString& title, int x, int y, int w, int h) {
    auto* group = new QGroupBox(title, parent);
    // The title sits on the frame's top line, half a line below the top.
    group->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    group->setGeometry(Du(x, y, w, h));
    group->lower();
    return group;
}

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(Du(x, y, w, h));
    return label;
}

QComboBox* PlaceCombo(QWidget* parent, int id, const QStringList& items, int x, int y, int w) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::number(id));
    combo->addItems(items);
    combo->setMaxVisibleItems(12);
    combo->setGeometry(Du(x, y, w, kClosedComboHeight));
    return combo;
}

QPushButton* PlaceButton(QWidget* parent, int id, const QString& text, int x, int y, int w,
                         int h) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    button->setGeometry(Du(x, y, w, h));
    return button;
}

QLineEdit* PlaceNumberBox(QWidget* parent, int id, int x, int y, int w, int h) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::number(id));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setTextMargins(0, 0, 0, 0);
    box->setGeometry(Du(x, y, w, h));
    return box;
}

}  // namespace kvt
