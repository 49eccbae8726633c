#include "ui/ui_seam.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace quindle::ui {

void UiSeam::beep() { QApplication::beep(); }

void UiSeam::warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void UiSeam::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

QString UiSeam::chooseFolder(QWidget* parent, const QString& title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}

QString UiSeam::saveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

namespace {
UiSeam realSeam;
UiSeam* current = &realSeam;
} // namespace

UiSeam& seam() { return *current; }

void setSeam(UiSeam* replacement) { current = replacement ? replacement : &realSeam; }

} // namespace quindle::ui
