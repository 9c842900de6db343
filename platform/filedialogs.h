#pragma once
// The file open/save dialogs and the printer selection. A cancel is reported
// as an empty optional, distinct from a confirmed choice.

#include <QString>
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
    // Lets the operator choose the printer; false on cancel.
    virtual bool ChoosePrinter(QPrinter& printer, QWidget* parent = nullptr) = 0;
};

// "desc|*.QLV|desc2|*.BGT" → the toolkit's "desc (*.QLV);;desc2 (*.BGT)".
QString QtFilterFromBarFilter(const QString& barFilter);
