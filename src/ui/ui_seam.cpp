#include "ui/ui_seam.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

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

QString UiSeam::openFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString UiSeam::askText(QWidget* parent, const QString& title, const QString& label, const QString& text)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &accepted);
    return accepted ? answer : QString();
}

namespace {
constexpr const char* kSaveFolderKey = "window/saveFolder";

// "csv" of "CSV files (*.csv)".
QString suffixOf(const QString& nameFilter)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(nameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}
} // namespace

QString UiSeam::saveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    // Every save starts in the folder the player saved in last.
    QSettings settings;
    QString folder = settings.value(QLatin1String(kSaveFolderKey)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir()) // an account without one: the dialog would offer "Documents" as the name
        folder = QDir::homePath();
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // "plan" becomes plan.csv in the dialog, so that it asks before replacing that file.
    dialog.setDefaultSuffix(suffixOf(filter.section(QStringLiteral(";;"), 0, 0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    settings.setValue(QLatin1String(kSaveFolderKey), QFileInfo(path).absolutePath());
    return path;
}

namespace {
UiSeam realSeam;
UiSeam* current = &realSeam;
} // namespace

UiSeam& seam() { return *current; }

void setSeam(UiSeam* replacement) { current = replacement ? replacement : &realSeam; }

} // namespace quindle::ui
