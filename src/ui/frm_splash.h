#pragma once
// frmSplash: shown while the breeding file is cut into buckets.
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;

namespace quindle::ui {

class FrmSplash : public QWidget {
    Q_OBJECT
public:
    FrmSplash();

    // Moves the bar; it is painted as the event loop turns during the cut.
    void setProgress(int value);
    QProgressBar* progressBar() const { return progBar_; }
    QLabel* message() const { return lblCompanyProduct_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* frame1_ = nullptr;
    QLabel* imgLogo_ = nullptr;
    QLabel* lblCompanyProduct_ = nullptr;
    QProgressBar* progBar_ = nullptr;
};

// The program's logo, drawn at any size (the window icon and the splash use it).
QPixmap logoPixmap(int size);

} // namespace quindle::ui
