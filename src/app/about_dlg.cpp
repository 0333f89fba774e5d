#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/app_icons.h"
#include "widgets/dialog_controls.h"
#include "widgets/dialog_units.h"

namespace kvt {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    SetUpDialog(this, 100, tr("KVT540Mのﾊﾞｰｼﾞｮﾝ情報"), 123, 55);
    const QFont font = DialogFont();

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(AppIconPixmap(32));
    QRect at = DialogRect(font, 11, 17, 0, 0);
    icon->setGeometry(at.x(), at.y(), 32, 32);

    auto* version = new QLabel(QStringLiteral("KVT-540-M Version 1.34"), this);
    version->setObjectName(QStringLiteral("version"));
    // The replacement font runs a little wider than the original one: the
    // text keeps its place and gets the width it needs.
    QRect textRect = DialogRect(font, 40, 10, 75, 8);
    textRect.setWidth(qMax(textRect.width(), version->sizeHint().width()));
    version->setGeometry(textRect);

    QPushButton* ok = PlaceButton(this, 1, QStringLiteral("OK"), 40, 40, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kvt
