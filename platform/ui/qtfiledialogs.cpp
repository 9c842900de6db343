#include "platform/ui/qtfiledialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
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

// The file a print dialog offers for printing to PDF, unless the printer
// already names one. Dialogs of other platforms without that field keep theirs.
void ProposePdfFile(QPrintDialog& dialog, const QString& proposedPdf)
{
    if (proposedPdf.isEmpty() || (dialog.printer() && !dialog.printer()->outputFileName().isEmpty()))
        return;
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
        name->setText(QDir::toNativeSeparators(proposedPdf));
}

// While it lives, the first showing of every print dialog gets the proposal
// (the preview builds its print dialog itself, when Print is pressed).
class PdfProposal : public QObject {
public:
    explicit PdfProposal(QString proposedPdf) : proposedPdf_(std::move(proposedPdf))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = event->type() == QEvent::Show ? qobject_cast<QPrintDialog*>(watched) : nullptr;
        if (dialog && !dialog->property(ProposedProperty).toBool()) {
            dialog->setProperty(ProposedProperty, true);
            ProposePdfFile(*dialog, proposedPdf_);
        }
        return false;
    }

private:
    static constexpr const char* ProposedProperty = "vardeloPdfProposed";
    QString proposedPdf_;
};

} // namespace

std::optional<QString> QtFileDialogs::Open(const FileDialogRequest& request, QWidget* parent)
{
    return RunFileDialog(request, parent, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::Save(const FileDialogRequest& request, QWidget* parent)
{
    return RunFileDialog(request, parent, QFileDialog::AcceptSave);
}

bool QtFileDialogs::ChoosePrinter(QPrinter& printer, const QString& proposedPdf, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    ProposePdfFile(dialog, proposedPdf);
    return dialog.exec() == QDialog::Accepted;
}

void QtFileDialogs::PreviewPrint(QPrinter& printer, const QString& proposedPdf,
                                 const std::function<void(QPrinter&)>& paint, QWidget* parent)
{
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&paint](QPrinter* target) {
        if (target)
            paint(*target);
    });
    const PdfProposal proposal(proposedPdf);
    preview.exec();
}
