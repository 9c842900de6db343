#include "platform/ui/qtfiledialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

std::optional<QString> RunFileDialog(const FileDialogRequest& request, QWidget* parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.initialDirectory, QtFilterFromBarFilter(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The overwrite question is the program's own (it asks in the chosen language).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // An open dialog completes a name typed without extension with the first
    // filter's, so the proposed "VARDELO" opens "VARDELO.QLV". A save dialog
    // writes the name exactly as typed.
    if (mode == QFileDialog::AcceptOpen) {
        const QString firstPattern = request.filter.section(u'|', 1, 1);
        if (firstPattern.startsWith(QLatin1String("*.")) && firstPattern.indexOf(u'*', 1) < 0)
            dialog.setDefaultSuffix(firstPattern.mid(2));
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<QString> QtFileDialogs::Open(const FileDialogRequest& request, QWidget* parent)
{
    return RunFileDialog(request, parent, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::Save(const FileDialogRequest& request, QWidget* parent)
{
    return RunFileDialog(request, parent, QFileDialog::AcceptSave);
}

bool QtFileDialogs::ChoosePrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}
