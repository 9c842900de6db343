#pragma once
// The program's file and printer dialogs: the toolkit's own dialogs. The
// print dialog, also the one the preview opens, offers proposedPdf as its
// PDF file (the toolkit itself would offer print.pdf in the home folder).

#include "platform/filedialogs.h"

class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> Open(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    std::optional<QString> Save(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    bool ChoosePrinter(QPrinter& printer, const QString& proposedPdf, QWidget* parent = nullptr) override;
    void PreviewPrint(QPrinter& printer, const QString& proposedPdf, const std::function<void(QPrinter&)>& paint,
                      QWidget* parent = nullptr) override;
};
