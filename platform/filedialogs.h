#pragma once
// The file open/save dialogs and the printer selection. A cancel is reported
// as an empty optional, distinct from a confirmed choice.

#include <QString>
#include <functional>
#include <optional>

class QWidget;
class QPrinter;

struct FileDialogRequest {
    QString proposedName;
    QString filter;          // description|pattern pairs separated by vertical bars
    QString title;
    QString initialDirectory;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> Open(const FileDialogRequest& request, QWidget* parent = nullptr) = 0;
    virtual std::optional<QString> Save(const FileDialogRequest& request, QWidget* parent = nullptr) = 0;
    // Lets the operator choose the printer; false on cancel. proposedPdf is
    // the file offered when the operator prints to a PDF file.
    virtual bool ChoosePrinter(QPrinter& printer, const QString& proposedPdf, QWidget* parent = nullptr) = 0;
    // A print preview of the pages paint draws on the printer it is given;
    // the operator may print them from there (choosing the printer as above).
    virtual void PreviewPrint(QPrinter& printer, const QString& proposedPdf,
                              const std::function<void(QPrinter&)>& paint, QWidget* parent = nullptr) = 0;
};

// "desc|*.QLV|desc2|*.BGT" → the toolkit's "desc (*.QLV);;desc2 (*.BGT)".
QString QtFilterFromBarFilter(const QString& barFilter);
