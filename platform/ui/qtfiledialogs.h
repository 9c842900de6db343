#pragma once
// The program's file and printer dialogs: the toolkit's own dialogs.

#include "platform/filedialogs.h"

class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> Open(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    std::optional<QString> Save(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    bool ChoosePrinter(QPrinter& printer, QWidget* parent = nullptr) override;
};
