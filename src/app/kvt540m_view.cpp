#include "app/kvt540m_view.h"

#include <QFile>
#include <QPainter>

#include "editor/my_property_sheet.h"
#include "preview/panel_picture.h"
#include "session/session.h"

namespace kvt {

CKVT540MView::CKVT540MView(Session& session, RunEngine& engine, QWidget* parent)
    : QWidget(parent), session_(session), engine_(engine) {
    setObjectName(QStringLiteral("CKVT540MView"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void CKVT540MView::BlankCaption() {
    blankPending_ = true;
    update();
}

void CKVT540MView::OnSettingsSheet() {
    RunSettingsSheet(session_, engine_, window(), [this] { emit storeEdited(); });
}

void CKVT540MView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawPanelPicture(painter, QFile::decodeName(session_.fileName.c_str()));
    if (blankPending_) {
        DrawBlankCaption(painter);
        blankPending_ = false;
    }
}

}  // namespace kvt
