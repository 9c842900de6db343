#include "common/fakes.h"

#include <QPrinter>

Messages::Answer FakeMessages::Show(const QString& prompt, const QString& title, Buttons buttons, QWidget*)
{
    shown.append({prompt, title, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

std::optional<QString> FakeFileDialogs::Open(const FileDialogRequest& request, QWidget*)
{
    requests.append(request);
    return names.isEmpty() ? std::nullopt : names.dequeue();
}

std::optional<QString> FakeFileDialogs::Save(const FileDialogRequest& request, QWidget*)
{
    requests.append(request);
    return names.isEmpty() ? std::nullopt : names.dequeue();
}

bool FakeFileDialogs::ChoosePrinter(QPrinter& printer, const QString& proposed, QWidget*)
{
    ++printerRequests;
    proposedPdf = proposed;
    const bool chosen = printerChoices.isEmpty() ? false : printerChoices.dequeue();
    if (chosen && !printerPdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerPdfFile);
    }
    return chosen;
}

void FakeFileDialogs::PreviewPrint(QPrinter& printer, const QString& proposed,
                                   const std::function<void(QPrinter&)>& paint, QWidget*)
{
    ++previewRequests;
    proposedPdf = proposed;
    if (printerPdfFile.isEmpty())
        return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printerPdfFile);
    paint(printer);
}
