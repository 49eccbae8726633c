#include "ui/frm_splash.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>

#include "ui/twips.h"

namespace quindle::ui {

QPixmap logoPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // A rosette in the neutral colour with a horseshoe in the male colour.
    p.setPen(QPen(QColor(90, 70, 30), 1.5));
    p.setBrush(toQColor(kNeutralColour));
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    QPainterPath shoe;
    shoe.moveTo(10, 25);
    shoe.cubicTo(4, 12, 10, 6, 16, 6);
    shoe.cubicTo(22, 6, 28, 12, 22, 25);
    p.setPen(QPen(toQColor(kMaleColour).darker(160), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shoe);
    p.setPen(QPen(toQColor(kFemaleColour).darker(130), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(QPointF(16, 16));
    return pixmap;
}

FrmSplash::FrmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(px(5310), px(1485));

    frame1_ = new QFrame(this);
    frame1_->setFrameShape(QFrame::Box);
    frame1_->setGeometry(twipsRect(80, 0, 5150, 1395));
    frame1_->setCursor(Qt::WaitCursor);
    frame1_->installEventFilter(this);

    imgLogo_ = new QLabel(this);
    imgLogo_->setGeometry(twipsRect(240, 360, 615, 630));
    imgLogo_->setPixmap(logoPixmap(32));

    lblCompanyProduct_ = new QLabel(QStringLiteral("Subdividing new breeding file - please wait..."), this);
    lblCompanyProduct_->setGeometry(twipsRect(1080, 480, 3810, 240));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    lblCompanyProduct_->setFont(font);

    progBar_ = new QProgressBar(this);
    progBar_->setGeometry(twipsRect(1200, 840, 3495, 255));
    progBar_->setRange(0, 100);
    progBar_->setValue(0);
    progBar_->setTextVisible(false);
    progBar_->setVisible(false);
}

void FrmSplash::setProgress(int value) { progBar_->setValue(value); }

void FrmSplash::keyPressEvent(QKeyEvent*) { close(); }

bool FrmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == frame1_ && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quindle::ui
